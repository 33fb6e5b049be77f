// Which reader a clip's track came from ("freeGPS boxes", "gps0/gsen
// records", another camera family, "no GPS data found"), as the native side
// recorded it when the clip was read: shown in the clip's details.
(function (VEK) {
  'use strict';

  var NONE = '–';

  // The clip facts carry the name with ',', '|' and '%' percent-encoded.
  function decode(field) {
    if (!field) return '';
    try { return decodeURIComponent(field); } catch { return ''; }
  }

  // A clip without a record (a track folder from before them) shows none.
  function show(clip) {
    var el = document.querySelector('[data-r="family"]');
    if (!el) return;
    el.textContent = clip && clip.family ? clip.family : NONE;
    el.title = el.textContent === NONE ? '' : el.textContent;
  }

  VEK.clipFamily = { decode: decode, show: show };
})(window.VEK = window.VEK || {});
