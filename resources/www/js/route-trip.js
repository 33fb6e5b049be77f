// The whole trip under the current clip's route: the other clips' parts
// muted, a tick at each clip boundary, and a click on any part that seeks
// to that clip and time. The view is fitted to the whole trip.
//
// The trip has a canvas of its own below the route. Its picture is kept and
// painted again (by the trip painter, off the page's thread) only when the
// trip, the map's view or the size changes; until the new one is there the
// old picture stands in, moved and scaled to the new view.
(function (VEK) {
  'use strict';

  var HIT_PX = 12; // a click this near the line picks it

  // parts: [{clip, track}] of the trip in order (track has onRoute); onSeek(clip, time).
  VEK.Route.prototype.setTrip = function (parts, currentClip, onSeek) {
    this.tripParts = parts && parts.length > 1 ? parts : null;
    this.tripCurrent = currentClip;
    this.onTripSeek = onSeek;
    this.tripBounds = this.tripParts ? tripBounds(this.tripParts) : null;
    this.tripVersion = (this.tripVersion || 0) + 1;
    if (!this.tripClick) {
      this.tripClick = true;
      var self = this;
      this.el.addEventListener('click', function (e) { self.clickTrip(e); });
    }
    this.redraw();
  };

  // Per track, kept while the trip grows: its on-route points in world
  // units and their bounds, and its points on screen for one projection.
  var partCache = new WeakMap();

  function worldPart(track) {
    var kept = partCache.get(track);
    if (kept && kept.onRoute === track.onRoute) return kept;
    var xs = []; var ys = [];
    for (var i = 0; i < track.count; i++) {
      if (!track.onRoute[i]) continue;
      xs.push(VEK.projection.worldX(track.lon[i])); ys.push(VEK.projection.worldY(track.lat[i]));
    }
    kept = { onRoute: track.onRoute, count: xs.length, bounds: VEK.projection.bounds(xs, ys), screen: null };
    partCache.set(track, kept);
    return kept;
  }

  function tripBounds(parts) {
    var b = { minX: Infinity, minY: Infinity, maxX: -Infinity, maxY: -Infinity };
    parts.forEach(function (part) {
      var w = worldPart(part.track);
      if (!w.count) return;
      b.minX = Math.min(b.minX, w.bounds.minX); b.maxX = Math.max(b.maxX, w.bounds.maxX);
      b.minY = Math.min(b.minY, w.bounds.minY); b.maxY = Math.max(b.maxY, w.bounds.maxY);
    });
    return isFinite(b.minX) ? b : null;
  }

  VEK.Route.prototype.tripPoint = function (lat, lon) {
    if (this.fitted) {
      return { x: this.fitted.x(VEK.projection.worldX(lon)), y: this.fitted.y(VEK.projection.worldY(lat)) };
    }
    return this.mapProjector ? this.mapProjector(lat, lon) : null;
  };

  // Projected points of every part: [{clip, xy: Float32Array, t: Float64Array}].
  // A part projected before in the same projection (two points placed
  // alike) is not projected again.
  VEK.Route.prototype.projectTrip = function () {
    if (!this.tripParts || (!this.fitted && !this.mapProjector)) return null;
    var a = this.tripPoint(0, 0); var b = this.tripPoint(1, 1);
    var projection = [a.x, a.y, b.x, b.y].join(',');
    var self = this;
    return this.tripParts.map(function (part) {
      var w = worldPart(part.track);
      if (!w.screen || w.screen.projection !== projection) w.screen = self.projectPart(part.track, projection);
      return { clip: part.clip, xy: w.screen.xy, t: w.screen.t };
    });
  };

  VEK.Route.prototype.projectPart = function (tr, projection) {
    var xy = []; var t = [];
    for (var i = 0; i < tr.count; i++) {
      if (!tr.onRoute[i]) continue;
      var p = this.tripPoint(tr.lat[i], tr.lon[i]);
      xy.push(p.x, p.y); t.push(tr.t[i]);
    }
    return { projection: projection, xy: Float32Array.from(xy), t: Float64Array.from(t) };
  };

  // What the trip's picture depends on: the trip, the canvas and the view
  // (two points of the trip as the current projection places them).
  VEK.Route.prototype.tripView = function () {
    var fix = firstFix(this.tripParts);
    if (!fix) return null;
    var a = this.tripPoint(fix.lat, fix.lon);
    var b = this.tripPoint(fix.lat + 0.01, fix.lon + 0.01);
    var ratio = window.devicePixelRatio || 1;
    var measured = this.measure();
    var size = { width: measured.width, height: measured.height, ratio: ratio };
    var key = [this.tripVersion, size.width, size.height, ratio, this.colors.muted, a.x, a.y, b.x, b.y].join(',');
    return { key: key, size: size, a: a, b: b };
  };

  function firstFix(parts) {
    for (var k = 0; k < parts.length; k++) {
      var i = parts[k].track.onRoute.indexOf(1);
      if (i >= 0) return { lat: parts[k].track.lat[i], lon: parts[k].track.lon[i] };
    }
    return null;
  }

  VEK.Route.prototype.tripCanvas = function () {
    if (!this.tripLayer) {
      this.tripLayer = document.createElement('canvas');
      this.tripLayer.className = 'route-trip';
      this.el.insertBefore(this.tripLayer, this.base);
    }
    return this.tripLayer;
  };

  // Called by every redraw of the route.
  VEK.Route.prototype.drawTrip = function () {
    var canvas = this.tripCanvas();
    var usable = this.tripParts && this.screen && (this.fitted || this.mapProjector);
    var view = usable ? this.tripView() : null;
    if (!view || !view.size.width || !view.size.height) { this.clearTrip(canvas); return; }
    if (this.tripShown && this.tripShown.key === view.key) return;
    if (this.tripJob && this.tripJob.view.key === view.key) return;
    this.tripScreen = this.projectTrip();
    this.standIn(canvas, view);
    this.paintTrip({ view: view, screen: this.tripScreen, current: this.tripCurrent, muted: this.colors.muted });
  };

  VEK.Route.prototype.clearTrip = function (canvas) {
    this.tripJob = null;
    this.tripShown = null;
    this.tripScreen = null;
    if (canvas.width || canvas.height) { canvas.width = 0; canvas.height = 0; }
  };

  // One picture is painted at a time: a trip asked for meanwhile waits, and
  // only the latest one asked for is painted next.
  VEK.Route.prototype.paintTrip = function (job) {
    this.tripJob = job;
    if (this.tripPainting) return;
    this.tripPainting = job;
    var size = job.view.size;
    var self = this;
    VEK.tripPainter.paint({
      width: Math.round(size.width * size.ratio), height: Math.round(size.height * size.ratio), ratio: size.ratio,
      parts: job.screen.map(function (part) { return { clip: part.clip, xy: part.xy }; }),
      current: job.current, muted: job.muted
    }, function (bitmap) { self.painted(job, bitmap); });
  };

  VEK.Route.prototype.painted = function (job, bitmap) {
    this.tripPainting = null;
    var latest = this.tripJob;
    if (latest === job) this.showTrip(job, bitmap);
    if (bitmap && latest !== job) bitmap.close();
    if (latest && latest !== job) this.paintTrip(latest);
  };

  // The painted picture, or without one the trip painted here and now.
  VEK.Route.prototype.showTrip = function (job, bitmap) {
    var canvas = this.tripCanvas();
    var size = job.view.size;
    this.tripJob = null;
    this.tripShown = job.view;
    canvas.width = Math.round(size.width * size.ratio);
    canvas.height = Math.round(size.height * size.ratio);
    var ctx = canvas.getContext('2d');
    if (bitmap) { ctx.drawImage(bitmap, 0, 0); bitmap.close(); return; }
    ctx.setTransform(size.ratio, 0, 0, size.ratio, 0, 0);
    VEK.tripPainter.paintTrip(ctx, job.screen, job.current, job.muted);
  };

  // Until the new picture is whole, the last one shown, moved and scaled
  // as the view changed (a projection onto the map only moves and scales).
  VEK.Route.prototype.standIn = function (canvas, view) {
    var shown = this.tripShown;
    if (!shown || !canvas.width) return;
    var oldSpan = shown.b.x - shown.a.x;
    var scale = oldSpan ? (view.b.x - view.a.x) / oldSpan : 1;
    var dx = view.a.x - shown.a.x * scale;
    var dy = view.a.y - shown.a.y * scale;
    if (scale === 1 && dx === 0 && dy === 0 && sameSize(shown.size, view.size)) return;
    var old = document.createElement('canvas');
    old.width = canvas.width; old.height = canvas.height;
    old.getContext('2d').drawImage(canvas, 0, 0);
    var ctx = canvas.getContext('2d');
    canvas.width = Math.round(view.size.width * view.size.ratio);
    canvas.height = Math.round(view.size.height * view.size.ratio);
    ctx.setTransform(view.size.ratio, 0, 0, view.size.ratio, 0, 0);
    ctx.drawImage(old, dx, dy, shown.size.width * scale, shown.size.height * scale);
    this.tripShown = { key: null, size: view.size, a: view.a, b: view.b };
  };

  function sameSize(a, b) { return a.width === b.width && a.height === b.height && a.ratio === b.ratio; }

  // The nearest trip point to a screen position: {clip, t} or null.
  VEK.Route.prototype.tripHit = function (x, y) {
    var best = null; var bestD = HIT_PX * HIT_PX;
    (this.tripScreen || []).forEach(function (part) {
      for (var j = 0; j < part.t.length; j++) {
        var dx = part.xy[2 * j] - x; var dy = part.xy[2 * j + 1] - y;
        if (dx * dx + dy * dy <= bestD) { bestD = dx * dx + dy * dy; best = { clip: part.clip, t: part.t[j] }; }
      }
    });
    return best;
  };

  VEK.Route.prototype.clickTrip = function (e) {
    if (!this.tripScreen || !this.onTripSeek) return;
    var box = this.el.getBoundingClientRect();
    var hit = this.tripHit(e.clientX - box.left, e.clientY - box.top);
    if (hit) this.onTripSeek(hit.clip, hit.t);
  };
})(window.VEK = window.VEK || {});
