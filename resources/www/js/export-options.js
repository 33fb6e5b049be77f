// Exports with options: in and out points marked in the player (buttons and
// the i/o keys, shown on the timeline), and the export panel: re-encoded,
// with the drive's readings burned in, or the original quality (cut at key
// frames). Sends "export_clips" and "export_cancel".
(function (VEK) {
  'use strict';

  var ELEMENTS = ['clock', 'speed', 'position', 'gforce', 'route'];

  // A mark: { path, time } in one clip of the list.
  function point(mark, paths) {
    if (!mark) return '';
    var clip = paths.indexOf(mark.path);
    return clip < 0 ? '' : clip + '@' + Math.max(0, mark.time).toFixed(3);
  }

  // "MODE;ELEMENTS;IN;OUT;PATHS" for the clips in `paths`, in order.
  function commandText(mode, elements, paths, inMark, outMark) {
    var shown = ELEMENTS.filter(function (name) { return elements[name]; });
    if (elements.decimal) shown.push('decimal');
    return [mode, shown.join('+'), point(inMark, paths), point(outMark, paths),
      paths.map(VEK.paths.commandArg).join(',')].join(';');
  }

  // True when the out mark lies before the in mark in the clips' order.
  function reversed(inMark, outMark, paths) {
    if (!inMark || !outMark) return false;
    var a = paths.indexOf(inMark.path);
    var b = paths.indexOf(outMark.path);
    return b < a || (a === b && outMark.time <= inMark.time);
  }

  function ExportOptions(app, root) {
    this.app = app;
    this.root = root;
    this.marks = { in: null, out: null };
    this.panel = root.querySelector('[data-r="export-panel"]');
    this.bind();
  }

  ExportOptions.prototype.paths = function () {
    var picked = this.app.actions.pickedPaths();
    return picked.length ? picked : (this.app.viewer.playingPath ? [this.app.viewer.playingPath] : []);
  };

  ExportOptions.prototype.mark = function (which) {
    var path = this.app.viewer.playingPath;
    if (!path) return;
    this.marks[which] = { path: path, time: this.app.views.player.time() };
    this.show();
  };

  ExportOptions.prototype.clearMarks = function () { this.marks = { in: null, out: null }; this.show(); };

  // Marks of the clip on screen, as ticks over the seek bar.
  ExportOptions.prototype.show = function () {
    var path = this.app.viewer.playingPath;
    var duration = this.app.views.player.video.duration || 0;
    ['in', 'out'].forEach(function (which) {
      var tick = this.root.querySelector('[data-r="mark-' + which + '"]');
      var mark = this.marks[which];
      tick.hidden = !mark || mark.path !== path || !duration;
      if (!tick.hidden) tick.style.left = (100 * Math.min(1, mark.time / duration)).toFixed(2) + '%';
    }, this);
    var summary = this.panel.querySelector('[data-r="export-range"]');
    summary.textContent = this.marks.in || this.marks.out ? VEK.i18n.t('exportRange', {
      a: this.marks.in ? VEK.timekeys.formatDuration(this.marks.in.time) : '0:00',
      b: this.marks.out ? VEK.timekeys.formatDuration(this.marks.out.time) : VEK.i18n.t('exportEnd') }) :
      VEK.i18n.t('exportWhole');
  };

  ExportOptions.prototype.elements = function () {
    var chosen = {};
    this.panel.querySelectorAll('input[data-element]').forEach(function (box) { chosen[box.dataset.element] = box.checked; });
    return chosen;
  };

  ExportOptions.prototype.start = function (mode) {
    var paths = this.paths();
    if (!paths.length) return;
    if (reversed(this.marks.in, this.marks.out, paths)) {
      VEK.notices.toast({ key: 'exportReversed' }, 'error');
      return;
    }
    VEK.commands.send('export_clips', commandText(mode, this.elements(), paths, this.marks.in, this.marks.out));
    VEK.notices.showProgress(VEK.i18n.t(mode === 'copy' ? 'exportCopyStarted' : 'exportStarted', { n: paths.length }), NaN);
    this.panel.hidden = true;
  };

  ExportOptions.prototype.cancel = function () { VEK.commands.send('export_cancel', ''); };

  ExportOptions.prototype.bind = function () {
    var self = this;
    this.root.addEventListener('click', function (e) {
      var act = e.target.closest && e.target.closest('[data-export]');
      if (!act) return;
      var what = act.dataset.export;
      if (what === 'in' || what === 'out') self.mark(what);
      else if (what === 'clear') self.clearMarks();
      else if (what === 'panel') { self.panel.hidden = !self.panel.hidden; self.show(); }
      else if (what === 'cancel') self.cancel();
      else self.start(what);
    });
    document.addEventListener('keydown', function (e) {
      var t = e.target;
      if (e.ctrlKey || e.metaKey || e.altKey || (e.key !== 'i' && e.key !== 'o')) return;
      if (t && (t.tagName === 'INPUT' && t.type !== 'range' && t.type !== 'checkbox' || t.tagName === 'SELECT' ||
        t.tagName === 'TEXTAREA')) return;
      e.preventDefault();
      self.mark(e.key === 'i' ? 'in' : 'out');
    });
    this.app.views.player.video.addEventListener('loadedmetadata', function () { self.show(); });
  };

  // Outcomes beyond exp(): where the file went, a join refused, a cancel.
  function install(app) {
    var options = new ExportOptions(app, document.body);
    window.exp_saved = function (path) { VEK.notices.toast({ key: 'exportSaved', vars: { path: String(path) } }, 'ok'); };
    window.exp_incompatible = function () {
      VEK.notices.hideProgress();
      VEK.notices.toast({ key: 'exportIncompatible' }, 'error');
      options.panel.hidden = false;
      options.show();
    };
    window.exp_cancelled = function () {
      VEK.notices.hideProgress();
      VEK.notices.toast({ key: 'exportCancelled' }, 'ok');
    };
    return options;
  }

  VEK.exportOptions = { install: install, commandText: commandText, reversed: reversed };
})(window.VEK = window.VEK || {});
