// Web Mercator in world units (0..1 across, y downwards), and a projector
// that fits a set of world points into a box with a margin.
(function (VEK) {
  'use strict';

  var EARTH_CIRCUMFERENCE_M = 40075016.686;
  var MAX_LAT = 85.05112878; // Mercator's square world stops here

  function worldX(lon) { return (lon + 180) / 360; }

  function worldY(lat) {
    var phi = Math.max(-MAX_LAT, Math.min(MAX_LAT, lat)) * Math.PI / 180;
    return (1 - Math.log(Math.tan(phi) + 1 / Math.cos(phi)) / Math.PI) / 2;
  }

  function bounds(xs, ys) {
    var b = { minX: Infinity, minY: Infinity, maxX: -Infinity, maxY: -Infinity };
    for (var i = 0; i < xs.length; i++) {
      b.minX = Math.min(b.minX, xs[i]); b.maxX = Math.max(b.maxX, xs[i]);
      b.minY = Math.min(b.minY, ys[i]); b.maxY = Math.max(b.maxY, ys[i]);
    }
    return b;
  }

  var MIN_SPAN = 2e-7; // about 8 m: a parked car still gets a sensible scale

  // Returns {scale, x(wx), y(wy)} placing the bounds centred in width x height.
  function fit(b, width, height, margin) {
    var spanX = Math.max(b.maxX - b.minX, MIN_SPAN);
    var spanY = Math.max(b.maxY - b.minY, MIN_SPAN);
    var scale = Math.min((width - 2 * margin) / spanX, (height - 2 * margin) / spanY);
    var cx = (b.minX + b.maxX) / 2;
    var cy = (b.minY + b.maxY) / 2;
    return {
      scale: scale,
      x: function (wx) { return width / 2 + (wx - cx) * scale; },
      y: function (wy) { return height / 2 + (wy - cy) * scale; }
    };
  }

  // Ground metres per screen pixel at a latitude, for world scale `scale`.
  function metresPerPixel(scale, lat) {
    return EARTH_CIRCUMFERENCE_M * Math.cos(lat * Math.PI / 180) / scale;
  }

  VEK.projection = { worldX: worldX, worldY: worldY, bounds: bounds, fit: fit,
    metresPerPixel: metresPerPixel };
})(window.VEK = window.VEK || {});
