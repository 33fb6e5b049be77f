// Settings text stored by the native side verbatim in user_path/ini.txt:
// comma-separated fields "unit,language", default "km,ENG". Fields this page
// does not know are kept so that a newer page's settings survive a save.
(function (VEK) {
  'use strict';

  var DEFAULT_TEXT = 'km,ENG';
  var UNITS = { km: 'km', mi: 'mi', mile: 'mi', mph: 'mi' };
  var LANGUAGES = { ENG: 'ENG', EN: 'ENG', CHT: 'CHT', TW: 'CHT', ZH: 'CHT' };

  function parse(text) {
    var fields = String(text == null ? '' : text).trim().split(',');
    return {
      unit: UNITS[(fields[0] || '').trim().toLowerCase()] || 'km',
      lang: LANGUAGES[(fields[1] || '').trim().toUpperCase()] || 'ENG',
      extra: fields.slice(2)
    };
  }

  function serialize(settings) {
    return [settings.unit, settings.lang].concat(settings.extra || []).join(',');
  }

  // XHR rather than fetch: Chromium's fetch refuses file:// even where
  // file access from file pages is allowed. Calls back with the text or null.
  var reads = 0;

  function read(userPath, done) {
    var xhr = new XMLHttpRequest();
    xhr.onload = function () {
      done(xhr.status === 200 || (xhr.status === 0 && xhr.responseText) ? xhr.responseText : null);
    };
    xhr.onerror = function () { done(null); };
    try {
      // A query of its own on every read: WebKit would otherwise answer a
      // reloaded page from its memory cache with the file as it was at start.
      xhr.open('GET', VEK.paths.fileUrl(userPath + '/ini.txt') + '?read=' + (++reads) + '-' + Date.now());
      xhr.overrideMimeType('text/plain; charset=utf-8');
      xhr.send();
    } catch (e) {
      done(null);
    }
  }

  VEK.settings = { DEFAULT_TEXT: DEFAULT_TEXT, parse: parse, serialize: serialize, read: read };
})(window.VEK = window.VEK || {});
