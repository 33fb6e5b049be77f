// The position label of a sample ("25[ 2' 2.27:,121[ 33' 52.08:") shown as
// 25°2'2.27" N  121°33'52.08" E. The label drops the sign of a latitude
// between 0 and -1, so the hemisphere comes from the decimal coordinate.
(function (VEK) {
  'use strict';

  var HALF = /^\s*(-?\d+)\[\s*(\d+)'\s*(\d+(?:\.\d+)?):\s*$/;

  function dms(deg, min, sec) {
    return Math.abs(deg) + '°' + min + '\'' + sec + '"';
  }

  function fromDecimal(value) {
    var abs = Math.abs(value);
    var deg = Math.floor(abs);
    var minutes = (abs - deg) * 60;
    var min = Math.floor(minutes);
    return dms(deg, min, ((minutes - min) * 60).toFixed(2));
  }

  function half(text, value, pos, neg) {
    var m = HALF.exec(text || '');
    var body = m ? dms(+m[1], +m[2], m[3]) : (isFinite(value) ? fromDecimal(value) : null);
    if (body === null) return null;
    var negative = isFinite(value) ? value < 0 : (m && m[1].charAt(0) === '-');
    return body + ' ' + (negative ? neg : pos);
  }

  // Returns null when neither the label nor the coordinates make a position.
  function format(label, lat, lon) {
    var parts = String(label || '').split(',');
    var a = half(parts[0], lat, 'N', 'S');
    var b = half(parts[1], lon, 'E', 'W');
    return a && b ? a + '  ' + b : null;
  }

  VEK.position = { format: format };
})(window.VEK = window.VEK || {});
