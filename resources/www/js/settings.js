// Settings text stored by the native side verbatim in user_path/ini.txt:
// comma-separated fields "unit,language", default "km,ENG", then optional
// fields older pages keep without reading: camera zone, display zone (empty:
// the default), clock correction in seconds, trip gap in seconds and event
// threshold in g. Fields this page does not know are kept so that a newer
// page's settings survive a save.
(function (VEK) {
  'use strict';

  var DEFAULT_TEXT = 'km,ENG';
  var UNITS = { km: 'km', mi: 'mi', mile: 'mi', mph: 'mi' };
  var LANGUAGES = { ENG: 'ENG', EN: 'ENG', CHT: 'CHT', TW: 'CHT', ZH: 'CHT' };

  var NAMED = ['cameraZone', 'displayZone', 'correction', 'tripGap', 'eventThreshold'];
  var LIMITS = { correction: [-3600, 3600, 0], tripGap: [0, 86400, 120], eventThreshold: [0.05, 16, 0.5] };

  function bounded(name, text) {
    var v = parseFloat(text);
    var l = LIMITS[name];
    return isFinite(v) ? Math.max(l[0], Math.min(l[1], v)) : l[2];
  }

  function parse(text) {
    var fields = String(text == null ? '' : text).trim().split(',');
    var settings = {
      unit: UNITS[(fields[0] || '').trim().toLowerCase()] || 'km',
      lang: LANGUAGES[(fields[1] || '').trim().toUpperCase()] || 'ENG',
      extra: fields.slice(2 + NAMED.length)
    };
    NAMED.forEach(function (name, k) {
      var field = (fields[2 + k] || '').trim();
      settings[name] = LIMITS[name] ? bounded(name, field) : field;
    });
    settings.correction = Math.round(settings.correction * 10) / 10;
    return settings;
  }

  // Defaults are written as empty fields and trailing empty fields dropped,
  // so default settings stay "km,ENG".
  function serialize(settings) {
    var named = NAMED.map(function (name) {
      var v = settings[name];
      return v == null || (LIMITS[name] && +v === LIMITS[name][2]) ? '' : String(v);
    });
    var fields = [settings.unit, settings.lang].concat(named, settings.extra || []);
    while (fields.length > 2 && fields[fields.length - 1] === '') fields.pop();
    return fields.join(',');
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
    } catch {
      done(null);
    }
  }

  VEK.settings = { DEFAULT_TEXT: DEFAULT_TEXT, parse: parse, serialize: serialize, read: read };
})(window.VEK = window.VEK || {});
