// True time of the samples. The track keys are the camera's clock with the
// fixed offset the extractor adds (+1 h freeGPS, +8 h gps0); a camera zone
// reads them as wall time of that zone instead, a correction in seconds
// makes up for a drifting camera clock, and a display zone (this computer's
// by default) turns the true instant into the wall time shown.
(function (VEK) {
  'use strict';

  var FIXED_OFFSET_S = { freegps: 3600, gps0: 8 * 3600 };
  var MAX_CORRECTION_S = 3600;
  var formatters = {};

  // Kept as typed; an unknown name falls back to the default.
  function validZone(zone) {
    if (!zone) return '';
    try { new Intl.DateTimeFormat('en-US', { timeZone: zone }); return zone; } catch { return ''; }
  }

  function localZone() { return Intl.DateTimeFormat().resolvedOptions().timeZone || 'UTC'; }

  function formatter(zone) {
    if (!formatters[zone]) {
      formatters[zone] = new Intl.DateTimeFormat('en-US', { timeZone: zone, hourCycle: 'h23', year: 'numeric',
        month: '2-digit', day: '2-digit', hour: '2-digit', minute: '2-digit', second: '2-digit' });
    }
    return formatters[zone];
  }

  // Wall-clock fields of a UTC instant in `zone`.
  function wall(zone, utcSeconds) {
    var whole = Math.floor(utcSeconds);
    var parts = {};
    formatter(zone).formatToParts(new Date(whole * 1000)).forEach(function (p) { parts[p.type] = +p.value; });
    return { y: parts.year, mo: parts.month, d: parts.day, h: parts.hour % 24, mi: parts.minute, s: parts.second,
      frac: utcSeconds - whole };
  }

  // Seconds east of UTC that `zone` is at the instant.
  function offsetAt(zone, utcSeconds) {
    var w = wall(zone, utcSeconds);
    return (Date.UTC(w.y, w.mo - 1, w.d, w.h, w.mi, w.s) / 1000) - Math.floor(utcSeconds);
  }

  var HALF_DAY_S = 43200; // no zone changes its offset twice within a day

  // The instant whose wall time in `zone` is `wallSeconds` (wall fields read
  // as UTC). In the hour repeated when clocks go back, the first of the two
  // instants; in the hour skipped when they go forward, the offset before.
  function fromWall(zone, wallSeconds) {
    var before = wallSeconds - offsetAt(zone, wallSeconds - HALF_DAY_S);
    var after = wallSeconds - offsetAt(zone, wallSeconds + HALF_DAY_S);
    var fits = function (t) { return Math.abs(t + offsetAt(zone, t) - wallSeconds) < 1e-3; };
    var first = Math.min(before, after);
    var last = Math.max(before, after);
    if (fits(first)) return first;
    return fits(last) ? last : before;
  }

  function Clock(settings) {
    this.cameraZone = validZone(settings && settings.cameraZone);
    this.displayZone = validZone(settings && settings.displayZone) || localZone();
    var c = parseFloat(settings && settings.correction);
    this.correction = isFinite(c) ? Math.max(-MAX_CORRECTION_S, Math.min(MAX_CORRECTION_S, Math.round(c * 10) / 10)) : 0;
  }

  // form: 'freegps' or 'gps0'; keySeconds: VEK.timekeys.parse of a key.
  Clock.prototype.utc = function (keySeconds, form) {
    var camera = this.cameraZone ? fromWall(this.cameraZone, keySeconds) : keySeconds - FIXED_OFFSET_S[form || 'freegps'];
    return camera + this.correction;
  };

  Clock.prototype.local = function (utcSeconds) { return wall(this.displayZone, utcSeconds); };

  function pad(n) { return (n < 10 ? '0' : '') + n; }

  Clock.prototype.formatDate = function (utcSeconds) {
    var w = this.local(utcSeconds);
    return w.y + '-' + pad(w.mo) + '-' + pad(w.d);
  };

  Clock.prototype.formatTime = function (utcSeconds) {
    var w = this.local(utcSeconds);
    return pad(w.h) + ':' + pad(w.mi) + ':' + pad(w.s);
  };

  Clock.prototype.formatDateTime = function (utcSeconds) {
    return this.formatDate(utcSeconds) + ' ' + this.formatTime(utcSeconds);
  };

  function offsetText(seconds) {
    var m = Math.round(Math.abs(seconds) / 60);
    return 'UTC' + (seconds < 0 ? '−' : '+') + pad(Math.floor(m / 60)) + ':' + pad(m % 60);
  }

  // The camera zone as the settings show it.
  Clock.prototype.cameraLabel = function (form) {
    return this.cameraZone || offsetText(FIXED_OFFSET_S[form || 'freegps']);
  };

  // The form of a track: gps0 writes status "2" throughout.
  function formOf(track) { return track && track.count && track.stat[0] === '2' ? 'gps0' : 'freegps'; }

  var current = new Clock({});

  // Local date and time shown for video time `t` of a track.
  function trackDateTime(track, t) {
    return current.formatDateTime(current.utc(track.start, formOf(track)) + t);
  }

  function zones() {
    try { return Intl.supportedValuesOf('timeZone'); } catch { return [localZone()]; }
  }

  VEK.time = { Clock: Clock, current: function () { return current; },
    setCurrent: function (clock) { current = clock; }, formOf: formOf, trackDateTime: trackDateTime,
    offsetText: offsetText, zones: zones, localZone: localZone, validZone: validZone, FIXED_OFFSET_S: FIXED_OFFSET_S };
})(window.VEK = window.VEK || {});
