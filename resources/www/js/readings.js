// The readings panel: speed, position, G-sensor axes, status and the
// recording clock of the sample under the video's current time.
(function (VEK) {
  'use strict';

  var G_BAR_RANGE = 2; // axis value at which a bar is full

  function Readings(root) {
    this.root = root;
    this.el = {};
    var self = this;
    ['speed', 'speedUnit', 'position', 'clock', 'status', 'gx', 'gy', 'gz', 'barX', 'barY', 'barZ', 'message']
      .forEach(function (name) { self.el[name] = root.querySelector('[data-r="' + name + '"]'); });
    this.unit = 'km';
    this.track = null;
    this.index = -1;
  }

  Readings.prototype.setUnit = function (unit) {
    this.unit = unit;
    this.el.speedUnit.textContent = VEK.units.label(unit);
    this.render();
  };

  // message: shown instead of readings when there is no track.
  Readings.prototype.setTrack = function (track, message) {
    this.track = track;
    this.index = -1;
    this.root.classList.toggle('no-track', !track);
    this.el.message.textContent = message || '';
    this.render();
  };

  Readings.prototype.setIndex = function (index) {
    if (index === this.index) return;
    this.index = index;
    this.render();
  };

  function text(el, value) { if (el.textContent !== value) el.textContent = value; }

  function axis(value) { return isFinite(value) ? (value >= 0 ? '+' : '−') + Math.abs(value).toFixed(2) : '–'; }

  function bar(el, value) {
    var f = isFinite(value) ? Math.max(-1, Math.min(1, value / G_BAR_RANGE)) : 0;
    el.style.transform = 'scaleX(' + Math.abs(f).toFixed(3) + ')';
    el.classList.toggle('negative', f < 0);
  }

  // freeGPS cameras store their status letter ('A' active, 'V' void) as its
  // character code; the letter is what the camera's own manual speaks of.
  function statusCode(stat) {
    var code = Number(stat);
    return code >= 65 && code <= 90 ? String.fromCharCode(code) : stat;
  }

  Readings.prototype.render = function () {
    var tr = this.track;
    var i = this.index;
    if (!tr || i < 0) { this.clear(); return; }
    var kmh = tr.speed[i];
    text(this.el.speed, isFinite(kmh) ? String(Math.round(VEK.units.speed(kmh, this.unit))) : '–');
    var pos = tr.valid[i] ? VEK.position.format(tr.lbs[i], tr.lat[i], tr.lon[i]) : null;
    text(this.el.position, pos || VEK.i18n.t('noFix'));
    text(this.el.clock, VEK.time.trackDateTime(tr, tr.t[i]));
    text(this.el.status, (tr.valid[i] ? VEK.i18n.t('fix') : VEK.i18n.t('noFix')) +
      (tr.stat[i] ? ' · ' + statusCode(tr.stat[i]) : ''));
    text(this.el.gx, axis(tr.x[i])); text(this.el.gy, axis(tr.y[i])); text(this.el.gz, axis(tr.z[i]));
    bar(this.el.barX, tr.x[i]); bar(this.el.barY, tr.y[i]); bar(this.el.barZ, tr.z[i]);
  };

  Readings.prototype.clear = function () {
    ['speed', 'position', 'clock', 'status', 'gx', 'gy', 'gz'].forEach(function (name) {
      text(this.el[name], '–');
    }, this);
    [this.el.barX, this.el.barY, this.el.barZ].forEach(function (el) { bar(el, NaN); });
  };

  VEK.Readings = Readings;
})(window.VEK = window.VEK || {});
