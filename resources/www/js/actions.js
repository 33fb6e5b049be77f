// Toolbar commands: import, merge, snapshots, screen recording, output
// folder, removal and the merge selection.
(function (VEK) {
  'use strict';

  var RECORDING_KEY = 'vek.recordingSince'; // the page reloads after a removal

  function Actions(viewer, root) {
    this.viewer = viewer;
    this.root = root;
    this.picked = {};
    this.recordSince = storedNumber(RECORDING_KEY);
    this.recordTimer = null;
    this.showRecording();
  }

  function storedNumber(key) {
    try { var v = parseFloat(sessionStorage.getItem(key)); return isFinite(v) ? v : null; } catch { return null; }
  }

  function store(key, value) {
    try {
      if (value == null) sessionStorage.removeItem(key); else sessionStorage.setItem(key, String(value));
    } catch { /* storage may be off for file pages */ }
  }

  Actions.prototype.button = function (act) { return this.root.querySelector('[data-act="' + act + '"]'); };

  Actions.prototype.importClips = function () { VEK.commands.send('file_copy_fun', ''); };

  Actions.prototype.pickedPaths = function () {
    var picked = this.picked;
    return this.viewer.clips.filter(function (clip) { return picked[clip.path]; })
      .map(function (clip) { return clip.path; });
  };

  // Keeps only clips that are still listed, and shows the choice.
  Actions.prototype.syncPicks = function () {
    var still = {};
    this.viewer.clips.forEach(function (clip, i) {
      if (this.picked[clip.path]) { still[clip.path] = true; this.viewer.views.list.setPicked(i, true); }
    }, this);
    this.picked = still;
    this.showPicks();
  };

  Actions.prototype.pick = function (index, on) {
    var clip = this.viewer.clips[index];
    if (!clip) return;
    if (on) this.picked[clip.path] = true; else delete this.picked[clip.path];
    this.viewer.views.list.setPicked(index, on);
    this.showPicks();
  };

  Actions.prototype.clearPicks = function () {
    this.viewer.clips.forEach(function (clip, i) { this.viewer.views.list.setPicked(i, false); }, this);
    this.picked = {};
    this.showPicks();
  };

  Actions.prototype.showPicks = function () {
    var n = this.pickedPaths().length;
    var merge = this.button('merge');
    // Every list report of an intake comes here: what is unchanged is left alone.
    if (merge.disabled !== n < 2) merge.disabled = n < 2;
    var label = merge.querySelector('span');
    var text = n >= 2 ? VEK.i18n.t('mergeCount', { n: n }) : VEK.i18n.t('merge');
    if (label.textContent !== text) label.textContent = text;
    this.root.classList.toggle('has-picks', n > 0);
  };

  Actions.prototype.merge = function () {
    var paths = this.pickedPaths();
    if (paths.length < 2) return;
    VEK.commands.send('merger', paths.map(VEK.paths.commandArg).join(','));
    VEK.notices.showProgress(VEK.i18n.t('exportStarted', { n: paths.length }), NaN);
  };

  // Removal sends the paths exactly as listed, each followed by ",".
  Actions.prototype.remove = function (paths) {
    if (!paths.length) return;
    VEK.commands.send('file_del_fun', paths.map(function (p) { return VEK.paths.commandArg(p) + ','; }).join(''));
  };

  Actions.prototype.removeAt = function (index) {
    var clip = this.viewer.clips[index];
    if (clip) this.remove([clip.path]);
  };

  // The position in whole minutes and seconds of the video.
  Actions.prototype.frameSnapshot = function () {
    var path = this.viewer.playingPath;
    if (!path) return;
    var whole = Math.floor(this.viewer.views.player.time());
    VEK.commands.send('get_photo', VEK.paths.fileUrl(path) + ';' + Math.floor(whole / 60) + ';' + (whole % 60));
  };

  Actions.prototype.windowSnapshot = function () { VEK.commands.send('get_full_photo', ''); };

  Actions.prototype.openFolder = function () { VEK.commands.send('open_dir', ''); };

  Actions.prototype.toggleRecording = function () {
    var on = this.recordSince == null;
    VEK.commands.send(on ? 'recode' : 'norecode', '');
    this.recordSince = on ? Date.now() : null;
    store(RECORDING_KEY, this.recordSince);
    this.showRecording();
  };

  Actions.prototype.showRecording = function () {
    var on = this.recordSince != null;
    var button = this.button('record');
    button.classList.toggle('recording', on);
    button.setAttribute('aria-pressed', on ? 'true' : 'false');
    button.querySelector('span').dataset.i18n = on ? 'stopRecord' : 'record';
    button.dataset.i18nTitle = on ? 'stopRecord' : 'record';
    VEK.i18n.apply(button);
    clearInterval(this.recordTimer);
    this.recordTimer = on ? setInterval(this.showRecordClock.bind(this), 1000) : null;
    this.showRecordClock();
  };

  Actions.prototype.showRecordClock = function () {
    var clock = this.root.querySelector('[data-r="record-clock"]');
    clock.hidden = this.recordSince == null;
    if (this.recordSince != null) clock.textContent = VEK.timekeys.formatDuration((Date.now() - this.recordSince) / 1000);
  };

  VEK.Actions = Actions;
})(window.VEK = window.VEK || {});
