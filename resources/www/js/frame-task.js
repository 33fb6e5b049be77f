// Work done at most once per animation frame, in a task of its own right
// after the frame: calls that come faster than frames (the clip-list reports
// of an intake) are taken in together, and the page draws between them. A
// page that draws no frames (a hidden window) still gets the work done,
// after WAIT_MS.
(function (VEK) {
  'use strict';

  var WAIT_MS = 1000; // longer than the longest frames of a busy machine

  function FrameTask(run) {
    this.run = run;
    this.frame = null;
    this.timer = null;
  }

  FrameTask.prototype.schedule = function () {
    if (this.pending()) return;
    var self = this;
    function fire() {
      self.cancel();
      self.run();
    }
    this.frame = requestAnimationFrame(function () {
      self.frame = null;
      clearTimeout(self.timer);
      self.timer = setTimeout(fire, 0);
    });
    this.timer = setTimeout(fire, WAIT_MS);
  };

  FrameTask.prototype.cancel = function () {
    if (this.frame !== null) cancelAnimationFrame(this.frame);
    clearTimeout(this.timer);
    this.frame = null;
    this.timer = null;
  };

  FrameTask.prototype.pending = function () { return this.frame !== null || this.timer !== null; };

  VEK.FrameTask = FrameTask;
})(window.VEK = window.VEK || {});
