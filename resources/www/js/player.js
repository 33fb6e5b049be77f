// The video and its transport bar. While playing, onTick runs in beats a
// little over five times a second; when paused, after every seek.
(function (VEK) {
  'use strict';

  var FRAME_S = 1 / 30; // dash cameras record at 30 frames per second
  var RATES = [0.25, 0.5, 1, 1.5, 2, 4];
  var SEEK_STEPS = 1000;
  // Every animation frame in which the page changes while a video plays
  // costs WebKit a repaint beside the video's own, and without a GPU that
  // cost hardly depends on how much changed: each such frame takes several
  // of the page's frames with it. So everything that moves (transport,
  // cursors, readings, route marker) moves together, once per beat of video
  // time: more than half the samples of a 10 Hz camera, each of a 1 Hz one.
  var BEAT_S = 0.18;
  // Faster rates pass beats sooner; the page still changes no more often
  // than this (below BEAT_S by more than a displayed frame at 1x).
  var MIN_BEAT_GAP_MS = 150;

  function Player(root, handlers) {
    this.root = root;
    this.video = root.querySelector('video');
    // onTick(t), onEnded(), onError(), onDuration(d), onNoPicture()
    this.handlers = handlers;
    this.ui = {
      play: root.querySelector('[data-act="play"]'),
      time: root.querySelector('[data-r="time"]'),
      seek: root.querySelector('[data-r="seek"]'),
      rate: root.querySelector('[data-r="rate"]')
    };
    this.ticking = false;
    this.shownSecond = -1;
    this.shownSeek = '';
    this.beat = { shown: -1, at: -Infinity };
    this.bind();
  }

  Player.prototype.bind = function () {
    var self = this;
    var v = this.video;
    v.addEventListener('play', function () { self.syncPlaying(); self.startTicks(); });
    v.addEventListener('playing', function () {
      console.info('vek page: playing ' + decodeURIComponent(v.currentSrc.replace(/^.*\//, '')) + ' ' + v.videoWidth + 'x' + v.videoHeight);
    });
    v.addEventListener('pause', function () { self.syncPlaying(); self.settle(); });
    v.addEventListener('seeked', function () { self.tick(); });
    v.addEventListener('timeupdate', function () {
      if (v.paused) self.tick();
      self.checkPicture();
    });
    v.addEventListener('ended', function () { self.syncPlaying(); self.tick(); self.afterFrame(self.handlers.onEnded); });
    v.addEventListener('error', function () { if (v.getAttribute('src')) self.handlers.onError(); });
    v.addEventListener('loadedmetadata', function () { self.metadata(); });
    v.addEventListener('ratechange', function () { self.ui.rate.value = String(v.playbackRate); });
    this.ui.play.addEventListener('click', function () { self.toggle(); });
    this.ui.seek.addEventListener('input', function () {
      self.seek(self.ui.seek.value / SEEK_STEPS * (v.duration || 0));
    });
    this.ui.rate.addEventListener('change', function () { self.setRate(parseFloat(self.ui.rate.value)); });
  };

  var HIDDEN_FRAME_MS = 100; // a hidden page runs no animation frames

  // The clip's last readings (a beat may fall past its end) stand for a
  // frame before the next clip replaces them; unless played again meanwhile.
  Player.prototype.afterFrame = function (then) {
    var v = this.video;
    var due = true;
    function once() {
      if (due && v.ended) then();
      due = false;
    }
    requestAnimationFrame(once);
    setTimeout(once, HIDDEN_FRAME_MS);
  };

  var PICTURE_CHECK_S = 1; // WebKit learns the picture size only after the first frames

  Player.prototype.metadata = function () {
    this.pictureChecked = false;
    this.handlers.onDuration(this.video.duration);
    this.tick();
  };

  // Time runs but no picture came: no decoder for the video stream.
  Player.prototype.checkPicture = function () {
    var v = this.video;
    if (this.pictureChecked || v.currentTime < PICTURE_CHECK_S) return;
    this.pictureChecked = true;
    if (v.videoWidth === 0 && v.videoHeight === 0) this.handlers.onNoPicture();
  };

  Player.prototype.isPlaying = function () { return !this.video.paused && !this.video.ended; };

  Player.prototype.syncPlaying = function () {
    var playing = this.isPlaying();
    this.root.classList.toggle('playing', playing);
    this.ui.play.dataset.i18nAria = playing ? 'pause' : 'play';
    this.ui.play.setAttribute('aria-label', VEK.i18n.t(this.ui.play.dataset.i18nAria));
  };

  Player.prototype.startTicks = function () {
    if (this.ticking) return;
    this.ticking = true;
    var self = this;
    function frame(now) {
      self.playingTick(now);
      if (!self.video.paused && !self.video.ended) requestAnimationFrame(frame); else self.ticking = false;
    }
    requestAnimationFrame(frame);
  };

  // An animation frame while playing: the views follow on a new beat and
  // otherwise the frame leaves the page as it is.
  Player.prototype.playingTick = function (now) {
    var beat = Math.floor((this.video.currentTime || 0) / BEAT_S);
    if (beat === this.beat.shown || now - this.beat.at < MIN_BEAT_GAP_MS) return;
    this.beat = { shown: beat, at: now };
    this.tick();
  };

  // A paused video's time may still move a frame's worth after the pause,
  // with no event to say so; the views follow it until it holds still.
  var SETTLE_STILL_FRAMES = 3;
  var SETTLE_MAX_FRAMES = 60;

  Player.prototype.settle = function () {
    var self = this;
    var v = this.video;
    var last = NaN;
    var still = 0;
    var left = SETTLE_MAX_FRAMES;
    function frame() {
      if (!v.paused || v.ended) return;
      var t = v.currentTime;
      if (t === last) still += 1; else { still = 0; last = t; self.tick(); }
      left -= 1;
      if (still < SETTLE_STILL_FRAMES && left > 0) requestAnimationFrame(frame);
    }
    requestAnimationFrame(frame);
  };

  Player.prototype.tick = function () {
    var v = this.video;
    var t = v.currentTime || 0;
    var d = v.duration;
    var seek = isFinite(d) && d > 0 ? String(Math.round(t / d * SEEK_STEPS)) : this.shownSeek;
    if (seek !== this.shownSeek) this.ui.seek.value = this.shownSeek = seek;
    var second = Math.floor(t);
    if (second !== this.shownSecond) {
      this.shownSecond = second;
      this.ui.time.textContent = VEK.timekeys.formatDuration(t) + ' / ' +
        (isFinite(d) ? VEK.timekeys.formatDuration(d) : '0:00');
    }
    this.handlers.onTick(t);
  };

  Player.prototype.load = function (url, autoplay) {
    var v = this.video;
    var rate = v.playbackRate;
    this.shownSecond = -1;
    this.beat = { shown: -1, at: -Infinity };
    v.src = url;
    v.playbackRate = rate;
    v.defaultPlaybackRate = rate;
    if (autoplay) this.play(); else v.load();
  };

  Player.prototype.clear = function () {
    this.video.removeAttribute('src');
    this.video.load();
    this.shownSecond = -1;
    this.beat = { shown: -1, at: -Infinity };
    this.ui.time.textContent = '0:00 / 0:00';
    this.ui.seek.value = this.shownSeek = '0';
    this.syncPlaying();
  };

  Player.prototype.hasClip = function () { return !!this.video.getAttribute('src'); };

  Player.prototype.play = function () {
    var p = this.video.play();
    var self = this;
    if (p && p.catch) p.catch(function () { self.syncPlaying(); });
  };

  Player.prototype.toggle = function () {
    if (!this.hasClip()) return;
    if (this.video.paused || this.video.ended) this.play(); else this.video.pause();
  };

  Player.prototype.seek = function (time) {
    var d = this.video.duration;
    if (!this.hasClip() || !isFinite(time)) return;
    this.video.currentTime = Math.max(0, isFinite(d) ? Math.min(d, time) : time);
    this.tick();
  };

  Player.prototype.skip = function (seconds) { this.seek(this.video.currentTime + seconds); };

  Player.prototype.step = function (frames) {
    this.video.pause();
    this.seek(this.video.currentTime + frames * FRAME_S);
  };

  Player.prototype.setRate = function (rate) {
    if (!(rate > 0)) return;
    this.video.playbackRate = rate;
    this.video.defaultPlaybackRate = rate;
  };

  Player.prototype.changeRate = function (direction) {
    var k = RATES.indexOf(this.video.playbackRate);
    if (k < 0) k = RATES.indexOf(1);
    this.setRate(RATES[Math.max(0, Math.min(RATES.length - 1, k + direction))]);
  };

  Player.prototype.time = function () { return this.video.currentTime || 0; };

  Player.RATES = RATES;
  Player.BEAT_S = BEAT_S;
  VEK.Player = Player;
})(window.VEK = window.VEK || {});
