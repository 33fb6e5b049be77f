// Which reader a clip's track came from ("freeGPS boxes", "gps0/gsen
// records", another camera family, "no GPS data found"), as the native side
// recorded it (in English) when the clip was read: shown in the clip's
// details in the page's language.
(function (VEK) {
  'use strict';

  var NONE = '–';

  // The clip facts carry the name with ',', '|' and '%' percent-encoded.
  function decode(field) {
    if (!field) return '';
    try { return decodeURIComponent(field); } catch { return ''; }
  }

  // A clip without a record (a track folder from before them) shows none. A
  // known name follows the page's language (the language switch re-applies
  // data-i18n); a name this page does not know is shown as recorded.
  function show(clip) {
    var el = document.querySelector('[data-r="family"]');
    if (!el) return;
    var name = clip && clip.family ? clip.family : '';
    var key = name ? VEK.i18n.keyOf('fam', name) : '';
    if (key) {
      el.dataset.i18n = key;
      el.dataset.i18nTitle = key;
    } else {
      delete el.dataset.i18n;
      delete el.dataset.i18nTitle;
    }
    el.textContent = key ? VEK.i18n.t(key) : name || NONE;
    el.title = name ? el.textContent : '';
  }

  VEK.clipFamily = { decode: decode, show: show };
})(window.VEK = window.VEK || {});
