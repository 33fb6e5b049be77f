// Work done a slice at a time, each in a task of its own, so reports, input
// and frames come between the slices of a long job.
(function (VEK) {
  'use strict';

  // step(): does one slice and returns true when nothing is left.
  function Slices(step) {
    this.step = step;
    this.timer = null;
  }

  Slices.prototype.schedule = function () {
    if (this.timer !== null) return;
    var self = this;
    this.timer = setTimeout(function () {
      self.timer = null;
      if (!self.step()) self.schedule();
    }, 0);
  };

  Slices.prototype.cancel = function () {
    clearTimeout(this.timer);
    this.timer = null;
  };

  Slices.prototype.pending = function () { return this.timer !== null; };

  VEK.Slices = Slices;
})(window.VEK = window.VEK || {});
