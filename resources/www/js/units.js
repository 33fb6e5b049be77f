// Speeds arrive in km/h; the driver may read them in mph.
(function (VEK) {
  'use strict';

  var KM_PER_MILE = 1.609344;

  function speed(kmh, unit) { return unit === 'mi' ? kmh / KM_PER_MILE : kmh; }

  function toKmh(value, unit) { return unit === 'mi' ? value * KM_PER_MILE : value; }

  function label(unit) { return VEK.i18n.t(unit === 'mi' ? 'mph' : 'kmh'); }

  VEK.units = { speed: speed, toKmh: toKmh, label: label };
})(window.VEK = window.VEK || {});
