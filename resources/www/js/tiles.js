// Map tiles under the route, when the bundled Leaflet is present. The route
// itself stays ours and only borrows the map's projection, so without
// Leaflet or without network the route is drawn all the same.
(function (VEK) {
  'use strict';

  var TILE_URL = 'https://tile.openstreetmap.org/{z}/{x}/{y}.png';
  var ATTRIBUTION = '&copy; OpenStreetMap contributors';
  var PADDING = 28;
  var MAX_FIT_ZOOM = 17; // closer than this a parked car's route is only pixels of noise

  function TileMap(panel, route) {
    this.panel = panel;
    this.el = document.createElement('div');
    this.el.className = 'route-map';
    panel.insertBefore(this.el, panel.firstChild);
    this.map = window.L.map(this.el, { zoomSnap: 0.25, attributionControl: true, fadeAnimation: false });
    this.map.setView([0, 0], 2);
    var layer = window.L.tileLayer(TILE_URL, { maxZoom: 19, attribution: ATTRIBUTION });
    layer.on('tileload', function () { panel.classList.add('has-tiles'); });
    layer.addTo(this.map);
    var map = this.map;
    // A fit or a drag moves the map several times a frame; the route
    // follows once per frame, before the frame is painted.
    var redrawDue = false;
    map.on('move zoom viewreset resize', function () {
      if (redrawDue) return;
      redrawDue = true;
      requestAnimationFrame(function () { redrawDue = false; route.redraw(); });
    });
    new ResizeObserver(function () { map.invalidateSize({ animate: false }); }).observe(panel);
    route.useProjector(function (lat, lon) { return map.latLngToContainerPoint([lat, lon]); });
  }

  TileMap.prototype.fit = function (track) {
    if (!track || !track.positions) return;
    var latLngs = [];
    for (var i = 0; i < track.count; i++) if (track.valid[i]) latLngs.push([track.lat[i], track.lon[i]]);
    this.map.fitBounds(window.L.latLngBounds(latLngs),
      { padding: [PADDING, PADDING], maxZoom: MAX_FIT_ZOOM, animate: false });
  };

  // Null without the library: the route falls back to its own projection.
  function attach(panel, route) {
    return window.L && window.L.map ? new TileMap(panel, route) : null;
  }

  VEK.tiles = { attach: attach };
})(window.VEK = window.VEK || {});
