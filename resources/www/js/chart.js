// A time chart of one or more series over the clip, with a cursor that
// follows the video and a click that seeks. The curves are drawn once per
// track or size; only the cursor moves during playback.
(function (VEK) {
  'use strict';

  var PAD = { left: 40, right: 10, top: 10, bottom: 20 };

  function Chart(container, options) {
    this.el = container;
    this.options = options; // {series: [{key, colorVar}], range(track) -> {min, max}, format(v)}
    this.canvas = VEK.canvas.create(container, 'chart-canvas');
    this.cursor = document.createElement('div');
    this.cursor.className = 'chart-cursor';
    container.appendChild(this.cursor);
    this.track = null;
    this.duration = 0;
    this.time = 0;
    this.plotPx = 1; // measured on redraw: reading it per frame would force a layout
    this.cursorShown = '';
    // The colours read for this scheme: reading them while a clip is chosen
    // would work the page's styles out in the middle of that task.
    this.colors = {};
    var self = this;
    container.addEventListener('click', function (e) { self.click(e); });
    this.measure = VEK.canvas.watchSize(container, function () { self.redraw(); });
    window.matchMedia('(prefers-color-scheme: dark)').addEventListener('change', function () {
      self.colors = {};
      self.redraw();
    });
  }

  Chart.prototype.color = function (name, fallback) {
    if (!(name in this.colors)) this.colors[name] = VEK.canvas.cssVar(this.el, name, fallback);
    return this.colors[name];
  };

  Chart.prototype.setTrack = function (track, duration) {
    this.track = track && track.count ? track : null;
    this.duration = duration || (this.track ? this.track.duration : 0);
    this.redraw();
  };

  Chart.prototype.setDuration = function (duration) {
    if (!(duration > 0) || Math.abs(duration - this.duration) < 0.05) return;
    this.duration = duration;
    this.redraw();
  };

  Chart.prototype.plotWidth = function () { return Math.max(1, this.measure().width - PAD.left - PAD.right); };

  Chart.prototype.setTime = function (time) {
    this.time = time;
    var shown = 'hidden';
    if (this.track && this.duration > 0) {
      shown = 'translateX(' + (PAD.left + Math.min(1, Math.max(0, time / this.duration)) * this.plotPx).toFixed(1) + 'px)';
    }
    if (shown === this.cursorShown) return;
    this.cursorShown = shown;
    this.cursor.style.visibility = shown === 'hidden' ? 'hidden' : 'visible';
    if (shown !== 'hidden') this.cursor.style.transform = shown;
  };

  Chart.prototype.click = function (event) {
    if (!this.track || !(this.duration > 0)) return;
    var rect = this.el.getBoundingClientRect();
    var fraction = (event.clientX - rect.left - PAD.left) / this.plotWidth();
    if (fraction < 0 || fraction > 1) return;
    this.options.onSeek(fraction * this.duration);
  };

  Chart.prototype.redraw = function () {
    this.plotPx = this.plotWidth();
    this.cursorShown = '';
    var c = VEK.canvas.prepare(this.canvas, this.measure());
    if (c && this.track && this.duration > 0) this.draw(c);
    this.setTime(this.time);
  };

  Chart.prototype.draw = function (c) {
    var range = this.options.range(this.track);
    var box = { x: PAD.left, y: PAD.top, w: c.width - PAD.left - PAD.right, h: c.height - PAD.top - PAD.bottom };
    this.drawGrid(c.ctx, box, range);
    var self = this;
    this.options.series.forEach(function (s) {
      self.drawSeries(c.ctx, box, range, self.track[s.key], self.color(s.colorVar, '#888'));
    });
    if (this.marks) this.drawMarks(c.ctx, box);
  };

  Chart.prototype.drawGrid = function (ctx, box, range) {
    var muted = this.color('--muted', '#888');
    ctx.strokeStyle = this.color('--grid', 'rgba(128,128,128,.2)');
    ctx.fillStyle = muted;
    ctx.lineWidth = 1;
    ctx.font = '10px system-ui, sans-serif';
    ctx.textBaseline = 'middle';
    ctx.textAlign = 'right';
    [range.max, (range.max + range.min) / 2, range.min].forEach(function (v, k) {
      var y = Math.round(box.y + box.h * k / 2) + 0.5;
      ctx.beginPath(); ctx.moveTo(box.x, y); ctx.lineTo(box.x + box.w, y); ctx.stroke();
      ctx.fillText(this.options.format(v), box.x - 6, y);
    }, this);
    ctx.textBaseline = 'top';
    ctx.textAlign = 'left';
    ctx.fillText('0:00', box.x, box.y + box.h + 5);
    ctx.textAlign = 'right';
    ctx.fillText(VEK.timekeys.formatDuration(this.duration), box.x + box.w, box.y + box.h + 5);
  };

  Chart.prototype.drawSeries = function (ctx, box, range, values, color) {
    var t = this.track.t;
    var span = range.max - range.min || 1;
    var xScale = box.w / this.duration;
    var pen = false;
    ctx.beginPath();
    for (var i = 0; i < this.track.count; i++) {
      if (t[i] > this.duration) break; // samples past the end of the picture
      var v = values[i];
      if (!isFinite(v)) { pen = false; continue; }
      var x = box.x + t[i] * xScale;
      var y = box.y + box.h * (range.max - Math.max(range.min, Math.min(range.max, v))) / span;
      if (pen) ctx.lineTo(x, y); else ctx.moveTo(x, y);
      pen = true;
    }
    ctx.strokeStyle = color;
    ctx.lineWidth = 1.6;
    ctx.lineJoin = 'round';
    ctx.stroke();
  };

  // Upper bound of the series rounded up to a readable step.
  function niceCeil(value) {
    if (!(value > 0)) return 1;
    var pow = Math.pow(10, Math.floor(Math.log10(value)));
    var steps = [1, 1.2, 1.5, 2, 2.5, 3, 4, 5, 6, 8, 10];
    for (var k = 0; k < steps.length; k++) if (steps[k] * pow >= value) return steps[k] * pow;
    return 10 * pow;
  }

  function maxAbs(track, keys) {
    var m = 0;
    keys.forEach(function (key) {
      var values = track[key];
      for (var i = 0; i < track.count; i++) if (isFinite(values[i])) m = Math.max(m, Math.abs(values[i]));
    });
    return m;
  }

  Chart.niceCeil = niceCeil;
  Chart.maxAbs = maxAbs;
  VEK.Chart = Chart;
})(window.VEK = window.VEK || {});
