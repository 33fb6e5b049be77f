// Start-up: builds the views, connects the controls and installs the
// functions the native side calls. Everything lives under window.VEK.
(function (VEK) {
  'use strict';

  var PREFETCH_GAP_MS = 30; // background track reads leave room for playback
  var PLAYING_RETRY_MS = 500;

  function $(selector) { return document.querySelector(selector); }

  function buildViews(app) {
    var views = {
      list: new VEK.ClipList($('.clips'), {
        onSelect: function (i) { app.viewer.select(i, true); },
        onPick: function (i, on) { app.actions.pick(i, on); },
        onRemove: function (i) { app.actions.removeAt(i); },
        onRowsBuilt: function () { if (app.tripView) app.tripView.rowsBuilt(); }
      }),
      readings: new VEK.Readings($('.readings')),
      route: new VEK.Route($('[data-r="route"]')),
      notice: $('[data-r="video-notice"]'),
      routeNotice: $('[data-r="route-notice"]'),
      charts: $('.charts')
    };
    views.tiles = VEK.tiles.attach($('[data-r="route"]'), views.route);
    var seek = function (t) { views.player.seek(t); };
    views.speedChart = new VEK.Chart($('[data-r="chart-speed"]'), {
      series: [{ key: 'speed', colorVar: '--speed' }], onSeek: seek,
      // Round figures in the unit shown, whatever the unit of the samples.
      range: function (track) {
        var unit = app.settings.unit;
        var top = VEK.Chart.niceCeil(Math.max(20, VEK.units.speed(VEK.Chart.maxAbs(track, ['speed']), unit)));
        return { min: 0, max: VEK.units.toKmh(top, unit) };
      },
      format: function (kmh) { return String(Math.round(VEK.units.speed(kmh, app.settings.unit))); }
    });
    views.gChart = new VEK.Chart($('[data-r="chart-g"]'), {
      series: [{ key: 'x', colorVar: '--gx' }, { key: 'y', colorVar: '--gy' }, { key: 'z', colorVar: '--gz' }],
      onSeek: seek,
      range: function (track) {
        var m = VEK.Chart.niceCeil(Math.max(0.5, VEK.Chart.maxAbs(track, ['x', 'y', 'z'])));
        return { min: -m, max: m };
      },
      format: function (g) { return g.toFixed(Math.abs(g) < 10 && g % 1 ? 1 : 0); }
    });
    views.player = new VEK.Player($('.stage'), {
      onTick: function (t) { app.viewer.onTick(t); },
      onEnded: function () { app.viewer.onEnded(); },
      onError: function () { app.viewer.onVideoError(); },
      onDuration: function (d) { app.viewer.onDuration(d); },
      onNoPicture: function () { app.viewer.setNotice('videoNoPicture'); }
    });
    return views;
  }

  function bindButtons(app) {
    var a = app.actions;
    var handlers = {
      import: function () { a.importClips(); },
      'intake-cancel': function () { VEK.intake.cancel(); },
      merge: function () { a.merge(); },
      'clear-picks': function () { a.clearPicks(); },
      'remove-picked': function () { a.remove(a.pickedPaths()); },
      'frame-snapshot': function () { a.frameSnapshot(); },
      'window-snapshot': function () { a.windowSnapshot(); },
      record: function () { a.toggleRecording(); },
      'open-dir': function () { a.openFolder(); },
      prev: function () { app.viewer.step(-1); },
      next: function () { app.viewer.step(1); },
      'step-back': function () { app.views.player.step(-1); },
      'step-forward': function () { app.views.player.step(1); }
    };
    document.addEventListener('click', function (e) {
      var el = e.target.closest('[data-act]');
      if (el && handlers[el.dataset.act] && !el.disabled) handlers[el.dataset.act]();
    });
    document.querySelectorAll('[data-unit]').forEach(function (el) {
      el.addEventListener('click', function () { app.changeSettings({ unit: el.dataset.unit }); });
    });
    $('[data-r="lang"]').addEventListener('change', function (e) { app.changeSettings({ lang: e.target.value }); });
    app.routeExport = new VEK.RouteExport(app, $('[data-r="route-out"]'));
    app.settingsView = new VEK.SettingsView($('[data-r="time-settings"]'), function (name, value) {
      var change = {};
      change[name] = value;
      app.changeSettings(change);
    });
  }

  // Files dropped on the page must not replace it; the native side takes
  // the drop itself, this only shows where to drop.
  function bindDrop() {
    var depth = 0;
    function hasFiles(e) { return e.dataTransfer && Array.prototype.indexOf.call(e.dataTransfer.types, 'Files') >= 0; }
    document.addEventListener('dragenter', function (e) {
      if (!hasFiles(e)) return;
      depth++;
      document.body.classList.add('dragging');
    });
    document.addEventListener('dragleave', function () {
      depth = Math.max(0, depth - 1);
      if (!depth) document.body.classList.remove('dragging');
    });
    document.addEventListener('dragover', function (e) { if (hasFiles(e)) e.preventDefault(); });
    document.addEventListener('drop', function (e) {
      e.preventDefault();
      depth = 0;
      document.body.classList.remove('dragging');
    });
  }

  function App() {
    this.settings = VEK.settings.parse(VEK.settings.DEFAULT_TEXT);
    this.views = buildViews(this);
    this.viewer = new VEK.Viewer(this.views);
    this.actions = new VEK.Actions(this.viewer, document.body);
    this.tripView = new VEK.TripView(this);
    var tripView = this.tripView;
    this.viewer.onChange = function () { tripView.showCurrent(); tripView.schedule(); };
    this.prefetchRound = 0;
  }

  App.prototype.applySettings = function () {
    var s = this.settings;
    VEK.i18n.setLanguage(s.lang);
    VEK.time.setCurrent(new VEK.time.Clock(s));
    if (this.settingsView) this.settingsView.show(s);
    document.querySelectorAll('[data-unit]').forEach(function (el) {
      el.setAttribute('aria-pressed', el.dataset.unit === s.unit ? 'true' : 'false');
    });
    $('[data-r="lang"]').value = s.lang;
    this.views.readings.setUnit(s.unit);
    // Its scale follows the unit; redrawn for nothing it would lay out the
    // page in the middle of the settings read.
    if (s.unit !== this.chartUnit && this.views.speedChart.track) this.views.speedChart.redraw();
    this.chartUnit = s.unit;
    this.actions.showPicks();
    this.actions.showRecording();
    this.viewer.relabel();
    this.viewer.clips.forEach(function (clip, i) { this.relabelClip(i); }, this);
    VEK.notices.relabel();
    if (VEK.card) VEK.card.relabel();
    this.tripView.schedule();
  };

  // The list's recording time follows the time settings.
  App.prototype.relabelClip = function (index) {
    var clip = this.viewer.clips[index];
    var cached = VEK.trackLoader.cached(clip.track, clip.name);
    if (cached && cached.track) this.views.list.setMeta(index, { when: VEK.time.trackDateTime(cached.track, 0) });
  };

  App.prototype.changeSettings = function (change) {
    Object.keys(change).forEach(function (k) { this.settings[k] = change[k]; }, this);
    this.settings = VEK.settings.parse(VEK.settings.serialize(this.settings)); // typed values within limits
    this.applySettings();
    VEK.commands.send('save_set', VEK.settings.serialize(this.settings));
  };

  App.prototype.loadSettings = function () {
    var self = this;
    VEK.settings.read(window.user_path, function (text) {
      self.settings = VEK.settings.parse(text == null ? VEK.settings.DEFAULT_TEXT : text);
      self.applySettings();
    });
  };

  // Evaluating a track file holds the main thread for tens of milliseconds:
  // during playback only the neighbours are read, the rest waits for a pause.
  App.prototype.busyPlaying = function (index) {
    var video = this.views.player.video;
    return !video.paused && !video.ended && Math.abs(index - this.viewer.current) > 1;
  };

  // Indices outwards from `centre`: the clips a driver plays next come first.
  function outwards(centre, count) {
    var order = [];
    for (var d = 0; order.length < count; d++) {
      if (centre + d < count) order.push(centre + d);
      if (d && centre - d >= 0) order.push(centre - d);
    }
    return order;
  }

  // Reads every listed track in the background for the list's times and
  // durations, nearest to the current clip first; the clip being played
  // always jumps the queue. Tracks read before are shown by the list itself.
  App.prototype.prefetch = function () {
    var round = ++this.prefetchRound;
    var self = this;
    var clips = this.viewer.clips;
    var order = outwards(Math.max(0, this.viewer.current), clips.length);
    var k = 0;
    function nextOne() {
      while (k < order.length && VEK.trackLoader.cached(clips[order[k]].track, clips[order[k]].name)) k++;
      if (round !== self.prefetchRound || k >= order.length) return;
      if (self.busyPlaying(order[k])) { setTimeout(nextOne, PLAYING_RETRY_MS); return; }
      var clip = clips[order[k++]];
      VEK.trackLoader.load(clip.track, clip.name, function (result) {
        self.showRead(clip, result);
        if (round === self.prefetchRound) setTimeout(nextOne, PREFETCH_GAP_MS);
      }, false);
    }
    nextOne();
  };

  // A track read in the background shows in its clip's row, wherever a
  // later list has put the clip; reports meanwhile keep the row as it is.
  App.prototype.showRead = function (clip, result) {
    var index = this.viewer.indexOf(clip.path);
    var listed = this.viewer.clips[index];
    if (!listed || listed.track !== clip.track) return;
    var problem = listed.trackTooLarge ? 'tooLarge' : 'noGps';
    this.views.list.setMeta(index, result.track ? VEK.Viewer.trackMeta(result.track, listed) : { tag: VEK.i18n.t(problem) });
    this.tripView.schedule();
  };

  function start() {
    var app = new App();
    VEK.app = app;
    bindButtons(app);
    bindDrop();
    VEK.keyboard.bind(app.views.player, function (d) { app.viewer.step(d); },
      function (d) { app.tripView.jumpEvent(d); });
    VEK.bridge.install(app);
    app.exportOptions = VEK.exportOptions.install(app);
    app.applySettings();
    app.viewer.clear();
  }

  start();
})(window.VEK = window.VEK || {});
