// The functions and the global the native side calls in this page:
// clip_facts, file_list_fun, video1_show, get_act, snapshot_failed, exp,
// exp_progress, intake_progress, intake_failed, page_restarted and user_path.
(function (VEK) {
  'use strict';

  var NO_CURRENT = '0';
  var NOTHING_IMPORTED = '(null)';

  var byName = new Intl.Collator(undefined, { numeric: true, sensitivity: 'base' });

  // Shown in file name order, which is recording order for dash cameras:
  // the native list is in intake order, reversed for every import, and
  // continuous playback has to go forwards in time.
  function clipsFrom(trackText, clipText, facts) {
    var tracks = VEK.paths.splitList(trackText);
    var known = facts || {};
    return VEK.paths.splitList(clipText).map(function (path, i) {
      var clip = { path: path, track: tracks[i] || '', name: VEK.paths.baseName(path) };
      var fact = known[path];
      if (fact && fact.duration > 0) clip.videoDuration = fact.duration;
      if (fact && fact.large) clip.trackTooLarge = true;
      if (fact && fact.family) clip.family = fact.family;
      return clip;
    }).sort(function (a, b) { return byName.compare(a.name, b.name) || byName.compare(a.path, b.path); });
  }

  // After an import `current` is the clip it took in last, "(null)" when it
  // took in none; after a page load it is "0" and the clip shown before the
  // reload, if still listed, comes back paused.
  // clip_facts: per listed clip "SECONDS|" (the movie's own length) or "|",
  // then "large" when its track was refused as too large, then "|FAMILY" when
  // the reader its track came from is known, then ",".
  function factsFrom(clipText, factsText) {
    var paths = VEK.paths.splitList(clipText);
    var facts = {};
    String(factsText).split(',').slice(0, paths.length).forEach(function (entry, i) {
      var fields = entry.split('|');
      facts[paths[i]] = { duration: parseFloat(fields[0]), large: fields[1] === 'large',
        family: VEK.clipFamily.decode(fields[2]) };
    });
    return facts;
  }

  function fileList(app, trackText, clipText, current, facts) {
    var viewer = app.viewer;
    var before = viewer.currentClip();
    viewer.setClips(clipsFrom(trackText, clipText, facts));
    VEK.trackLoader.forgetFailures();
    app.actions.syncPicks();
    var imported = viewer.indexOf(current);
    // The list is built with the next frame, so the intake's end may come
    // before its last report: a report naming the clip that plays leaves it
    // playing instead of loading it again.
    var playsOn = before && imported >= 0 && viewer.clips[imported].path === before.path && app.views.player.isPlaying();
    // While a card is read, the clip being watched keeps playing; the first
    // clip ready plays when none is.
    if ((imported >= 0 && before && VEK.intake.running()) || playsOn) {
      viewer.reattach(viewer.indexOf(before.path));
    } else if (imported >= 0) {
      viewer.select(imported, true);
      VEK.notices.toast({ key: 'imported', vars: { name: viewer.clips[imported].name } }, 'ok', 'import');
    } else {
      if (current === NOTHING_IMPORTED) VEK.notices.toast({ key: 'noImport' }, 'info', 'import');
      var again = viewer.indexOf(before ? before.path : VEK.Viewer.remembered());
      if (again >= 0 && before) viewer.reattach(again);
      else if (again >= 0) viewer.select(again, false);
      else viewer.clear();
    }
    app.prefetch();
  }

  // The native texts are "Export Completed" and "Export Failed"; anything
  // else is shown as it came.
  function exportMessage(message) {
    var text = String(message);
    if (/completed/i.test(text)) return { message: { key: 'exportCompleted' }, kind: 'ok' };
    if (/failed/i.test(text)) return { message: { key: 'exportFailed' }, kind: 'error' };
    return { message: { key: 'exportOther', vars: { text: text } }, kind: 'info' };
  }

  function install(app) {
    var userPath = '';
    // From the clip_facts call that comes before a report; read only for the
    // report that is built, as a burst's earlier ones are dropped unread.
    var facts = null;
    window.clip_facts = function (clipText, factsText) { facts = { clips: String(clipText), facts: String(factsText) }; };
    // A drag reports after every path, and an intake after every clip:
    // hundreds of reports can arrive in a burst, and only the latest
    // matters. Each one is stored; the list is built at most once a frame,
    // in a task of its own, so a playing video keeps its frames.
    var latest = null;
    var listTask = new VEK.FrameTask(applyLatest);
    window.file_list_fun = function (trackText, clipText, current) {
      var pending = latest;
      latest = { tracks: String(trackText), clips: String(clipText), facts: facts,
        current: current == null ? NO_CURRENT : String(current) };
      // A page-load report keeps its meaning under a later import report.
      if (pending && pending.current === NO_CURRENT && latest.current === NOTHING_IMPORTED) latest.current = NO_CURRENT;
      facts = null;
      if (!pending) listTask.schedule();
    };
    function applyLatest() {
      var report = latest;
      latest = null;
      var known = report.facts ? factsFrom(report.facts.clips, report.facts.facts) : null;
      fileList(app, report.tracks, report.clips, report.current, known);
    }
    // Whether a report is stored and not yet applied to the list.
    VEK.bridge.reportWaiting = function () { return listTask.pending(); };
    window.intake_progress = VEK.intake.progress;
    window.intake_failed = VEK.intake.failed;
    window.video1_show = function (path) { app.viewer.found(String(path)); };
    window.get_act = function () {
      VEK.notices.flash();
      VEK.notices.toast({ key: 'snapshotSaved' }, 'ok');
    };
    window.page_restarted = function (reason) {
      VEK.notices.toast({ key: 'pageRestarted', vars: { reason: String(reason) } }, 'error');
    };
    window.snapshot_failed = function (reason) {
      VEK.notices.toast({ key: 'snapshotFailed', vars: { reason: String(reason) } }, 'error');
    };
    window.exp = function (message) {
      VEK.notices.hideProgress();
      var m = exportMessage(message);
      VEK.notices.toast(m.message, m.kind);
    };
    window.exp_progress = function (percent) {
      VEK.notices.showProgress(VEK.i18n.t('exporting', { p: Math.round(parseFloat(percent)) }), parseFloat(percent));
    };
    // The native side assigns user_path right after file_list_fun; the
    // settings live in that folder, so the assignment reads them.
    Object.defineProperty(window, 'user_path', {
      configurable: true,
      get: function () { return userPath; },
      set: function (value) {
        var changed = String(value) !== userPath;
        userPath = String(value);
        if (changed) app.loadSettings();
      }
    });
  }

  VEK.bridge = { install: install, clipsFrom: clipsFrom };
})(window.VEK = window.VEK || {});
