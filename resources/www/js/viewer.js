// The clip on screen: which clip is current, its video, its track and the
// views that follow the video's time.
(function (VEK) {
  'use strict';

  var LOOKUP_WAIT_MS = 2500; // the native lookup answers at once or never
  var REMEMBER_KEY = 'vek.current'; // survives the reload after a removal

  function Viewer(views) {
    this.views = views; // {player, list, readings, route, tiles, speedChart, gChart, notice}
    this.clips = [];
    this.current = -1;
    this.track = null;
    this.trackError = null;
    this.playingPath = null;
    this.lookup = null;
    this.noticeKey = null;
  }

  // Rows kept from the last list keep what they show, unless what the
  // intake knows of their clip changed; new rows show what is known.
  Viewer.prototype.setClips = function (clips) {
    var before = this.byPath || new Map();
    clips.forEach(function (clip) {
      var old = before.get(clip.path);
      if (old && old.videoDuration) clip.videoDuration = old.videoDuration;
    });
    this.clips = clips;
    this.index(clips);
    this.current = -1;
    var added = this.views.list.render(clips);
    var fresh = added ? new Set(added) : null;
    clips.forEach(function (clip, i) {
      if (!fresh || fresh.has(i) || factsChanged(before.get(clip.path), clip)) this.showKnownMeta(i);
    }, this);
    if (this.onChange) this.onChange();
  };

  // Each listed path to its first clip and that clip's index.
  Viewer.prototype.index = function (clips) {
    this.byPath = new Map();
    this.indexByPath = new Map();
    clips.forEach(function (clip, i) {
      if (this.indexByPath.has(clip.path)) return;
      this.byPath.set(clip.path, clip);
      this.indexByPath.set(clip.path, i);
    }, this);
  };

  function factsChanged(old, clip) {
    return !!old && (old.track !== clip.track || old.videoDuration !== clip.videoDuration ||
      !!old.trackTooLarge !== !!clip.trackTooLarge);
  }

  // A clip whose track was read before shows its figures at once (the
  // background reads skip it); others show the time in their name first.
  Viewer.prototype.showKnownMeta = function (i) {
    var clip = this.clips[i];
    var cached = VEK.trackLoader.cached(clip.track, clip.name);
    if (cached && cached.track) { this.views.list.setMeta(i, trackMeta(cached.track, clip)); return; }
    this.showNameStamp(i);
    if (clip.videoDuration) this.views.list.setMeta(i, { duration: VEK.timekeys.formatDuration(clip.videoDuration) });
    if (clip.trackTooLarge) this.views.list.setMeta(i, { tag: VEK.i18n.t('tooLarge') });
  };

  Viewer.prototype.currentClip = function () { return this.clips[this.current] || null; };

  Viewer.prototype.indexOf = function (path) {
    var index = this.indexByPath ? this.indexByPath.get(path) : undefined;
    return index === undefined ? -1 : index;
  };

  Viewer.prototype.showNameStamp = function (i) {
    var stamp = VEK.timekeys.fromFileName(this.clips[i].name);
    if (isFinite(stamp)) this.views.list.setMeta(i, { when: VEK.timekeys.formatDateTime(stamp) });
  };

  Viewer.prototype.select = function (index, autoplay) {
    var clip = this.clips[index];
    if (!clip) { this.clear(); return; }
    this.current = index;
    this.views.list.setCurrent(index);
    VEK.clipFamily.show(clip);
    remember(clip.path);
    this.lookup = { index: index, asked: false, timer: null };
    this.setNotice(null);
    this.playingPath = clip.path;
    this.views.player.load(VEK.paths.fileUrl(clip.path), autoplay);
    this.showTrack(null, 'trackLoading');
    var self = this;
    // A report during the read lists the same clip as another object.
    VEK.trackLoader.load(clip.track, clip.name, function (result) {
      var shown = self.currentClip();
      if (shown && shown.path === clip.path && shown.track === clip.track) self.applyTrack(result);
    }, true);
  };

  // The list was rebuilt around the clip that is playing: leave it playing.
  Viewer.prototype.reattach = function (index) {
    this.current = index;
    this.views.list.setCurrent(index, true);
    if (this.track) this.views.list.setMeta(index, trackMeta(this.track, this.clips[index]));
  };

  Viewer.prototype.clear = function () {
    this.current = -1;
    this.playingPath = null;
    this.views.list.setCurrent(-1);
    VEK.clipFamily.show(null);
    this.views.player.clear();
    this.showTrack(null, null);
    this.setNotice(this.clips.length ? 'noClip' : 'videoEmpty');
  };

  Viewer.prototype.step = function (direction) {
    var next = this.current + direction;
    if (next >= 0 && next < this.clips.length) this.select(next, true);
  };

  var TRACK_MESSAGES = { missing: 'trackMissing', broken: 'trackBroken', nodata: 'trackNoData', empty: 'trackEmpty' };

  // One console line per clip shown: the app writes the page's console to
  // its own diagnostics, where the end-to-end tests read it.
  function report(clip, result) {
    console.info('vek page: ' + clip.name + (result.track
      ? ' track ' + result.track.count + ' samples, route ' + result.track.positions + ' points'
      : ' track ' + result.error));
  }

  Viewer.prototype.applyTrack = function (result) {
    report(this.currentClip(), result);
    var refused = result.error && this.currentClip().trackTooLarge;
    this.trackError = result.error ? (refused ? 'trackTooLarge' : TRACK_MESSAGES[result.error]) : null;
    this.showTrack(result.track || null, this.trackError);
    if (result.track) this.views.list.setMeta(this.current, trackMeta(result.track, this.currentClip()));
    this.onTick(this.views.player.time());
    if (this.onChange) this.onChange();
  };

  // Every report shows every read track's texts again: they are kept per
  // track, for the clock and duration they were made with.
  var metaCache = new WeakMap();

  // The video's own duration wins over the track's span once it is known:
  // a camera may write GPS records past the end of the picture.
  function trackMeta(track, clip) {
    var duration = clip && clip.videoDuration > 0 ? clip.videoDuration : track.duration;
    var clock = VEK.time.current();
    var kept = metaCache.get(track);
    if (kept && kept.clock === clock && kept.duration === duration) return kept.meta;
    var meta = { when: VEK.time.trackDateTime(track, 0), duration: VEK.timekeys.formatDuration(duration), tag: '' };
    metaCache.set(track, { clock: clock, duration: duration, meta: meta });
    return meta;
  }
  Viewer.trackMeta = trackMeta;

  // messageKey: why there is no track (or null).
  Viewer.prototype.showTrack = function (track, messageKey) {
    var v = this.views;
    this.track = track;
    this.trackMessage = messageKey;
    v.readings.setTrack(track, messageKey ? VEK.i18n.t(messageKey) : VEK.i18n.t('noTrack'));
    v.route.setTrack(track);
    if (v.tiles) v.tiles.fit(track);
    var duration = v.player.video.duration;
    v.speedChart.setTrack(track, isFinite(duration) ? duration : 0);
    v.gChart.setTrack(track, isFinite(duration) ? duration : 0);
    v.charts.classList.toggle('empty', !track);
    this.showRouteNotice();
  };

  Viewer.prototype.showRouteNotice = function () {
    var key = this.trackMessage || (this.track && !this.track.positions ? 'noRoute' : null);
    var el = this.views.routeNotice;
    el.textContent = key ? VEK.i18n.t(key) : (this.track ? '' : VEK.i18n.t('routeEmpty'));
    el.hidden = !!(this.track && this.track.positions);
  };

  Viewer.prototype.onTick = function (time) {
    var v = this.views;
    if (this.track) {
      var i = VEK.track.indexAt(this.track, time);
      v.readings.setIndex(i);
      v.route.setIndex(i);
    }
    v.speedChart.setTime(time);
    v.gChart.setTime(time);
  };

  Viewer.prototype.onDuration = function (duration) {
    this.views.speedChart.setDuration(duration);
    this.views.gChart.setDuration(duration);
    var clip = this.currentClip();
    if (!clip || !(duration > 0)) return;
    clip.videoDuration = duration;
    this.views.list.setMeta(this.current, { duration: VEK.timekeys.formatDuration(duration) });
  };

  Viewer.prototype.onEnded = function () {
    if (this.current + 1 < this.clips.length) this.select(this.current + 1, true);
  };

  Viewer.prototype.onVideoError = function () {
    var clip = this.currentClip();
    var lookup = this.lookup;
    if (!clip || !lookup || lookup.index !== this.current) return;
    if (lookup.asked) { this.setNotice('videoFailed', { name: clip.name }); return; }
    lookup.asked = true;
    this.setNotice('videoLooking');
    var list = VEK.paths.candidates(clip.path).map(VEK.paths.commandArg).join(',');
    VEK.commands.send('check_file', list);
    var self = this;
    lookup.timer = setTimeout(function () {
      if (self.lookup === lookup) self.setNotice('videoMissing', { name: clip.name });
    }, LOOKUP_WAIT_MS);
  };

  // Answer to check_file: the first candidate that exists.
  Viewer.prototype.found = function (path) {
    var clip = this.currentClip();
    var lookup = this.lookup;
    if (!clip || !lookup || !lookup.asked) return;
    clearTimeout(lookup.timer);
    if (path === this.playingPath) { this.setNotice('videoFailed', { name: clip.name }); return; }
    this.playingPath = path;
    this.setNotice(null);
    this.views.player.load(VEK.paths.fileUrl(path), true);
  };

  Viewer.prototype.setNotice = function (key, vars) {
    this.noticeKey = key;
    this.noticeVars = vars;
    var el = this.views.notice;
    el.hidden = !key;
    el.dataset.kind = key || '';
    el.querySelector('[data-r="notice-text"]').textContent = key ? VEK.i18n.t(key, vars) : '';
  };

  Viewer.prototype.relabel = function () {
    if (this.noticeKey) this.setNotice(this.noticeKey, this.noticeVars);
    this.showRouteNotice();
    this.views.list.updateCount();
    this.views.readings.setTrack(this.track, this.trackMessage ? VEK.i18n.t(this.trackMessage) : VEK.i18n.t('noTrack'));
    this.onTick(this.views.player.time());
  };

  function remember(path) {
    try { sessionStorage.setItem(REMEMBER_KEY, path); } catch { /* storage may be off for file pages */ }
  }

  Viewer.remembered = function () {
    try { return sessionStorage.getItem(REMEMBER_KEY); } catch { return null; }
  };

  VEK.Viewer = Viewer;
})(window.VEK = window.VEK || {});
