// The clip's route on two canvases, the whole route (drawn when the track,
// the size or the map view changes) and the route done so far (grown as the
// video plays), under a marker element at the current position. Projection:
// our own fitted Mercator, or the tile map's when one is shown underneath
// (see tiles.js).
(function (VEK) {
  'use strict';

  var MARGIN = 28;
  var SCALE_BAR_PX = 96;

  function Route(container) {
    this.el = container;
    this.base = VEK.canvas.create(container, 'route-base');
    this.top = VEK.canvas.create(container, 'route-top');
    this.marker = document.createElement('div');
    this.marker.className = 'route-marker';
    container.appendChild(this.marker);
    this.markerShown = '';
    this.doneTo = -1; // the last point the top canvas shows done, -1 when it is blank
    this.readColors();
    var self = this;
    // A new colour scheme: its colours are read once, then the route is painted in them.
    window.matchMedia('(prefers-color-scheme: dark)').addEventListener('change', function () {
      self.readColors();
      self.redraw();
    });
    this.track = null;
    this.index = -1;
    this.mapProjector = null;
    this.fitted = null;
    this.measure = VEK.canvas.watchSize(container, function () { self.redraw(); });
  }

  // External projector: function (lat, lon) -> {x, y} in CSS pixels.
  Route.prototype.useProjector = function (projector) {
    this.mapProjector = projector;
    this.redraw();
  };

  Route.prototype.setTrack = function (track) {
    this.track = track && track.positions ? track : null;
    this.index = -1;
    this.world = this.track ? worldPoints(this.track) : null;
    this.redraw();
  };

  Route.prototype.setIndex = function (index) {
    if (index === this.index) return;
    this.index = index;
    this.drawPosition();
  };

  var COLORS = { route: '--route', casing: '--route-casing', start: '--route-start', end: '--route-end',
    done: '--route-done', muted: '--muted' };

  // Read once per colour scheme: computed styles while the clip list changes
  // would cost a style pass of the whole page.
  Route.prototype.readColors = function () {
    var el = this.el;
    var colors = {};
    Object.keys(COLORS).forEach(function (k) { colors[k] = VEK.canvas.cssVar(el, COLORS[k], '#888'); });
    this.colors = colors;
  };

  Route.prototype.redraw = function () {
    this.screen = this.track ? this.project() : null;
    this.doneTo = -1;
    if (this.drawTrip) this.drawTrip();
    this.drawRoute();
    this.drawPosition();
  };

  function worldPoints(track) {
    var n = track.positions;
    var world = { x: new Float64Array(n), y: new Float64Array(n), sample: new Int32Array(n) };
    for (var i = 0, j = 0; i < track.count; i++) {
      if (!track.valid[i]) continue;
      world.x[j] = VEK.projection.worldX(track.lon[i]);
      world.y[j] = VEK.projection.worldY(track.lat[i]);
      world.sample[j++] = i;
    }
    world.bounds = VEK.projection.bounds(world.x, world.y);
    return world;
  }

  Route.prototype.project = function () {
    var w = this.world;
    var n = w.x.length;
    var pts = new Float32Array(2 * n);
    var fitted = null;
    if (!this.mapProjector) {
      var size = this.measure();
      fitted = VEK.projection.fit(this.tripBounds || w.bounds, size.width, size.height, MARGIN);
    }
    for (var j = 0; j < n; j++) {
      var i = w.sample[j];
      if (fitted) {
        pts[2 * j] = fitted.x(w.x[j]); pts[2 * j + 1] = fitted.y(w.y[j]);
      } else {
        var p = this.mapProjector(this.track.lat[i], this.track.lon[i]);
        pts[2 * j] = p.x; pts[2 * j + 1] = p.y;
      }
    }
    this.fitted = fitted;
    return pts;
  };

  function path(ctx, pts, from, upto) {
    ctx.beginPath();
    ctx.moveTo(pts[2 * from], pts[2 * from + 1]);
    for (var j = from + 1; j <= upto; j++) ctx.lineTo(pts[2 * j], pts[2 * j + 1]);
  }

  Route.prototype.drawRoute = function () {
    var c = VEK.canvas.prepare(this.base, this.measure());
    if (!c || !this.screen) return;
    var ctx = c.ctx;
    var pts = this.screen;
    var last = pts.length / 2 - 1;
    ctx.lineJoin = 'round'; ctx.lineCap = 'round';
    path(ctx, pts, 0, last);
    ctx.strokeStyle = this.colors.casing;
    ctx.lineWidth = 7; ctx.stroke();
    ctx.strokeStyle = this.colors.route;
    ctx.lineWidth = 4; ctx.stroke();
    endpoint(ctx, pts[0], pts[1], this.colors.start);
    endpoint(ctx, pts[2 * last], pts[2 * last + 1], this.colors.end);
    if (this.fitted) this.drawScaleBar(ctx, c.height);
  };

  function endpoint(ctx, x, y, color) {
    ctx.beginPath(); ctx.arc(x, y, 5, 0, 2 * Math.PI);
    ctx.fillStyle = color; ctx.fill();
    ctx.lineWidth = 2; ctx.strokeStyle = '#fff'; ctx.stroke();
  }

  // A round distance near SCALE_BAR_PX pixels long.
  function niceDistance(metres) {
    var pow = Math.pow(10, Math.floor(Math.log10(metres)));
    var steps = [1, 2, 5, 10];
    for (var k = steps.length - 1; k >= 0; k--) if (steps[k] * pow <= metres) return steps[k] * pow;
    return pow;
  }

  Route.prototype.drawScaleBar = function (ctx, height) {
    var lat = this.track.lat[this.world.sample[0]];
    var mpp = VEK.projection.metresPerPixel(this.fitted.scale, lat);
    var metres = niceDistance(mpp * SCALE_BAR_PX);
    var px = metres / mpp;
    var x = 14; var y = height - 14;
    ctx.strokeStyle = this.colors.muted;
    ctx.lineWidth = 1.5;
    ctx.beginPath(); ctx.moveTo(x, y - 5); ctx.lineTo(x, y); ctx.lineTo(x + px, y); ctx.lineTo(x + px, y - 5);
    ctx.stroke();
    ctx.fillStyle = ctx.strokeStyle;
    ctx.font = '11px system-ui, sans-serif';
    ctx.fillText(metres >= 1000 ? metres / 1000 + ' km' : metres + ' m', x + 4, y - 6);
  };

  // Last projected point at or before the current sample.
  Route.prototype.pointIndex = function () {
    var sample = this.world.sample;
    var lo = 0; var hi = sample.length - 1;
    if (sample[0] > this.index) return 0;
    while (lo < hi) {
      var mid = (lo + hi + 1) >> 1;
      if (sample[mid] <= this.index) lo = mid; else hi = mid - 1;
    }
    return lo;
  };

  // While a clip plays the done route grows by the segments passed since the
  // last step and the marker moves by a transform: a canvas cleared and drawn
  // whole at each step would repaint the whole panel beside the video's
  // frames. Only a step back (or a redraw) draws the done route anew.
  Route.prototype.drawPosition = function () {
    if (!this.screen || this.index < 0) { this.placeMarker(null); return; }
    var j = this.pointIndex();
    if (this.doneTo < 0 || j < this.doneTo) this.drawDone(j);
    else if (j > this.doneTo) this.extendDone(j);
    this.placeMarker(j);
  };

  Route.prototype.drawDone = function (j) {
    var c = VEK.canvas.prepare(this.top, this.measure());
    this.doneTo = -1;
    if (!c) return;
    this.doneTo = 0;
    this.extendDone(j);
  };

  Route.prototype.extendDone = function (j) {
    if (j > this.doneTo) {
      var ctx = this.top.getContext('2d');
      ctx.lineJoin = 'round'; ctx.lineCap = 'round';
      path(ctx, this.screen, this.doneTo, j);
      ctx.strokeStyle = this.colors.done;
      ctx.lineWidth = 4; ctx.stroke();
    }
    this.doneTo = j;
  };

  // j: the projected point the marker stands on, null to hide it.
  Route.prototype.placeMarker = function (j) {
    var shown = j === null ? 'hidden'
      : 'translate(' + this.screen[2 * j].toFixed(1) + 'px, ' + this.screen[2 * j + 1].toFixed(1) + 'px)';
    if (shown === this.markerShown) return;
    this.markerShown = shown;
    this.marker.style.visibility = shown === 'hidden' ? 'hidden' : 'visible';
    if (shown !== 'hidden') this.marker.style.transform = shown;
  };

  Route.prototype.currentPoint = function () {
    if (!this.screen || this.index < 0) return null;
    var j = this.pointIndex();
    return { x: this.screen[2 * j], y: this.screen[2 * j + 1] };
  };

  VEK.Route = Route;
})(window.VEK = window.VEK || {});
