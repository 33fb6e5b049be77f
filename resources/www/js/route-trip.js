// The whole trip under the current clip's route: the other clips' parts
// muted, a tick at each clip boundary, and a click on any part that seeks
// to that clip and time. The view is fitted to the whole trip.
//
// The trip has a canvas of its own below the route. A trip of hundreds of
// clips takes the canvas far longer to paint than a frame lasts, so its
// picture is kept and painted again only when the trip, the map's view or
// the size changes; then it is painted off screen in slices of a few
// milliseconds, each leaving the page its turn, and shown once whole. Until
// then the old picture stands in, moved and scaled to the new view.
(function (VEK) {
  'use strict';

  var HIT_PX = 12; // a click this near the line picks it
  // One slice of painting (at least one part); the page stays responsive
  // between slices.
  VEK.Route.tripSliceMs = 12;

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

  function tripBounds(parts) {
    var xs = []; var ys = [];
    parts.forEach(function (part) {
      var tr = part.track;
      for (var i = 0; i < tr.count; i++) {
        if (!tr.onRoute[i]) continue;
        xs.push(VEK.projection.worldX(tr.lon[i])); ys.push(VEK.projection.worldY(tr.lat[i]));
      }
    });
    return xs.length ? VEK.projection.bounds(Float64Array.from(xs), Float64Array.from(ys)) : null;
  }

  VEK.Route.prototype.tripPoint = function (lat, lon) {
    if (this.fitted) {
      return { x: this.fitted.x(VEK.projection.worldX(lon)), y: this.fitted.y(VEK.projection.worldY(lat)) };
    }
    return this.mapProjector ? this.mapProjector(lat, lon) : null;
  };

  // Projected points of every part: [{clip, xy: Float32Array, t: Float64Array}].
  VEK.Route.prototype.projectTrip = function () {
    if (!this.tripParts || (!this.fitted && !this.mapProjector)) return null;
    var self = this;
    return this.tripParts.map(function (part) {
      var tr = part.track; var xy = []; var t = [];
      for (var i = 0; i < tr.count; i++) {
        if (!tr.onRoute[i]) continue;
        var p = self.tripPoint(tr.lat[i], tr.lon[i]);
        xy.push(p.x, p.y); t.push(tr.t[i]);
      }
      return { clip: part.clip, xy: Float32Array.from(xy), t: Float64Array.from(t) };
    });
  };

  // One part as the trip shows it: its line unless it is the current clip
  // (the route is drawn over it), then the tick where it starts.
  function paintPart(ctx, part, current, muted) {
    var xy = part.xy;
    if (xy.length < 2) return;
    if (part.clip !== current) {
      ctx.beginPath(); ctx.moveTo(xy[0], xy[1]);
      for (var j = 2; j < xy.length; j += 2) ctx.lineTo(xy[j], xy[j + 1]);
      ctx.strokeStyle = muted; ctx.lineWidth = 3; ctx.stroke();
    }
    ctx.beginPath(); ctx.arc(xy[0], xy[1], 3.5, 0, 2 * Math.PI);
    ctx.fillStyle = '#fff'; ctx.fill();
    ctx.strokeStyle = muted; ctx.lineWidth = 1.5; ctx.stroke();
  }

  // The whole trip at once, as the slices together paint it.
  VEK.Route.paintTrip = function (ctx, screen, current, muted) {
    ctx.lineJoin = 'round'; ctx.lineCap = 'round';
    screen.forEach(function (part) { paintPart(ctx, part, current, muted); });
  };

  // What the trip's picture depends on: the trip, the canvas and the view
  // (two points of the trip as the current projection places them).
  VEK.Route.prototype.tripView = function (canvas) {
    var fix = firstFix(this.tripParts);
    if (!fix) return null;
    var a = this.tripPoint(fix.lat, fix.lon);
    var b = this.tripPoint(fix.lat + 0.01, fix.lon + 0.01);
    var ratio = window.devicePixelRatio || 1;
    var size = { width: canvas.clientWidth, height: canvas.clientHeight, ratio: ratio };
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
    var view = usable ? this.tripView(canvas) : null;
    if (!view || !view.size.width || !view.size.height) { this.clearTrip(canvas); return; }
    if (this.tripShown && this.tripShown.key === view.key) return;
    if (this.tripJob && this.tripJob.view.key === view.key) return;
    this.tripScreen = this.projectTrip();
    this.standIn(canvas, view);
    this.paintTripSlices({ view: view, next: 0, screen: this.tripScreen, current: this.tripCurrent,
      muted: this.colors.muted, canvas: offscreen(view.size) });
  };

  VEK.Route.prototype.clearTrip = function (canvas) {
    this.tripJob = null;
    this.tripShown = null;
    this.tripScreen = null;
    if (canvas.width || canvas.height) { canvas.width = 0; canvas.height = 0; }
  };

  function offscreen(size) {
    var canvas = document.createElement('canvas');
    canvas.width = Math.round(size.width * size.ratio);
    canvas.height = Math.round(size.height * size.ratio);
    var ctx = canvas.getContext('2d');
    ctx.setTransform(size.ratio, 0, 0, size.ratio, 0, 0);
    return canvas;
  }

  // Paints parts until a slice is spent, then yields; a newer picture
  // started meanwhile ends this one. Reading a pixel makes the canvas
  // paint what it was given, so a slice counts its own painting.
  VEK.Route.prototype.paintTripSlices = function (job) {
    this.tripJob = job;
    var ctx = job.canvas.getContext('2d');
    var started = performance.now();
    ctx.lineJoin = 'round'; ctx.lineCap = 'round';
    do {
      paintPart(ctx, job.screen[job.next++], job.current, job.muted);
      ctx.getImageData(0, 0, 1, 1);
    } while (job.next < job.screen.length && performance.now() - started < VEK.Route.tripSliceMs);
    if (job.next >= job.screen.length) { this.showTrip(job); return; }
    var self = this;
    setTimeout(function () { if (self.tripJob === job) self.paintTripSlices(job); }, 0);
  };

  VEK.Route.prototype.showTrip = function (job) {
    var canvas = this.tripCanvas();
    this.tripJob = null;
    this.tripShown = job.view;
    if (canvas.width !== job.canvas.width || canvas.height !== job.canvas.height) {
      canvas.width = job.canvas.width; canvas.height = job.canvas.height;
    }
    var ctx = canvas.getContext('2d');
    ctx.setTransform(1, 0, 0, 1, 0, 0);
    ctx.clearRect(0, 0, canvas.width, canvas.height);
    ctx.drawImage(job.canvas, 0, 0);
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
