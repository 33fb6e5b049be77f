// Sample time keys of the track data: "2016/03/01 10:05:7.5" (freeGPS) and
// "2016/03/01 17:05:07.3" (gps0). Hours past 23 occur without a carry into
// the date; adding them as seconds carries them properly.
(function (VEK) {
  'use strict';

  var KEY = /^\s*(\d{1,4})\/(\d{1,2})\/(\d{1,2})\s+(\d{1,2}):(\d{1,2}):(\d{1,2}(?:\.\d+)?)\s*$/;

  // Seconds since 1970 (the camera's clock, read as UTC) or NaN.
  function parse(key) {
    var m = KEY.exec(key);
    if (!m) return NaN;
    var day = Date.UTC(+m[1], +m[2] - 1, +m[3]) / 1000;
    return day + (+m[4]) * 3600 + (+m[5]) * 60 + parseFloat(m[6]);
  }

  // File names such as 2016_0301_100507_001.MOV or 20160301-100507.MOV.
  var NAME_STAMP = /(20\d\d)[_-]?(\d\d)(\d\d)[_-]?(\d\d)(\d\d)(\d\d)/;

  function fromFileName(name) {
    var m = NAME_STAMP.exec(name);
    if (!m) return NaN;
    return Date.UTC(+m[1], +m[2] - 1, +m[3], +m[4], +m[5], +m[6]) / 1000;
  }

  function pad(n) { return (n < 10 ? '0' : '') + n; }

  function formatDateTime(seconds) {
    var d = new Date(seconds * 1000);
    return d.getUTCFullYear() + '-' + pad(d.getUTCMonth() + 1) + '-' + pad(d.getUTCDate()) +
      ' ' + pad(d.getUTCHours()) + ':' + pad(d.getUTCMinutes()) + ':' + pad(d.getUTCSeconds());
  }

  function formatDuration(seconds) {
    if (!isFinite(seconds) || seconds < 0) return '';
    var s = Math.floor(seconds);
    var h = Math.floor(s / 3600);
    var rest = pad(Math.floor(s / 60) % 60) + ':' + pad(s % 60);
    return h ? h + ':' + rest : Math.floor(s / 60) + ':' + pad(s % 60);
  }

  VEK.timekeys = { parse: parse, fromFileName: fromFileName,
    formatDateTime: formatDateTime, formatDuration: formatDuration };
})(window.VEK = window.VEK || {});
