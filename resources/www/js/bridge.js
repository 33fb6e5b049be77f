// The functions and the global the native side calls in this page:
// file_list_fun, video1_show, get_act, exp, exp_progress, intake_progress,
// intake_failed and user_path.
(function (VEK) {
  'use strict';

  var NO_CURRENT = '0';
  var NOTHING_IMPORTED = '(null)';

  var byName = new Intl.Collator(undefined, { numeric: true, sensitivity: 'base' });

  // Shown in file name order, which is recording order for dash cameras:
  // the native list is in intake order, reversed for every import, and
  // continuous playback has to go forwards in time.
  function clipsFrom(trackText, clipText) {
    var tracks = VEK.paths.splitList(trackText);
    return VEK.paths.splitList(clipText).map(function (path, i) {
      return { path: path, track: tracks[i] || '', name: VEK.paths.baseName(path) };
    }).sort(function (a, b) { return byName.compare(a.name, b.name) || byName.compare(a.path, b.path); });
  }

  // After an import `current` is the clip it took in last, "(null)" when it
  // took in none; after a page load it is "0" and the clip shown before the
  // reload, if still listed, comes back paused.
  function fileList(app, trackText, clipText, current) {
    var viewer = app.viewer;
    var before = viewer.currentClip();
    viewer.setClips(clipsFrom(trackText, clipText));
    VEK.trackLoader.forgetFailures();
    app.actions.syncPicks();
    var imported = viewer.indexOf(current);
    // While a card is read, the clip being watched keeps playing; the first
    // clip ready plays when none is.
    if (imported >= 0 && VEK.intake.running() && before) {
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
    window.file_list_fun = function (trackText, clipText, current) {
      fileList(app, String(trackText), String(clipText), current == null ? NO_CURRENT : String(current));
    };
    window.intake_progress = VEK.intake.progress;
    window.intake_failed = VEK.intake.failed;
    window.video1_show = function (path) { app.viewer.found(String(path)); };
    window.get_act = function () {
      VEK.notices.flash();
      VEK.notices.toast({ key: 'snapshotSaved' }, 'ok');
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
