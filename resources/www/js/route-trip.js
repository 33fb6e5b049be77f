// The whole trip under the current clip's route: the other clips' parts
// muted, a tick at each clip boundary, and a click on any part that seeks
// to that clip and time. The view is fitted to the whole trip.
(function (VEK) {
  'use strict';

  var HIT_PX = 12; // a click this near the line picks it

  // parts: [{clip, track}] of the trip in order (track has onRoute); onSeek(clip, time).
  VEK.Route.prototype.setTrip = function (parts, currentClip, onSeek) {
    this.tripParts = parts && parts.length > 1 ? parts : null;
    this.tripCurrent = currentClip;
    this.onTripSeek = onSeek;
    this.tripBounds = this.tripParts ? tripBounds(this.tripParts) : null;
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

  VEK.Route.prototype.drawTrip = function (ctx) {
    this.tripScreen = this.projectTrip();
    if (!this.tripScreen) return;
    var self = this;
    ctx.lineJoin = 'round'; ctx.lineCap = 'round';
    this.tripScreen.forEach(function (part) {
      var xy = part.xy;
      if (xy.length < 2) return;
      if (part.clip !== self.tripCurrent) {
        ctx.beginPath(); ctx.moveTo(xy[0], xy[1]);
        for (var j = 2; j < xy.length; j += 2) ctx.lineTo(xy[j], xy[j + 1]);
        ctx.strokeStyle = self.colors.muted; ctx.lineWidth = 3; ctx.stroke();
      }
      ctx.beginPath(); ctx.arc(xy[0], xy[1], 3.5, 0, 2 * Math.PI);
      ctx.fillStyle = '#fff'; ctx.fill();
      ctx.strokeStyle = self.colors.muted; ctx.lineWidth = 1.5; ctx.stroke();
    });
  };

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
