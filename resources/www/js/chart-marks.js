// Event marks on a chart: a thin line at each event's time with a small
// flag, bumps and hard stops in their own colours.
(function (VEK) {
  'use strict';

  var COLORS = { bump: '--event-bump', stop: '--event-stop' };

  // marks: [{t, kind}] in video seconds of the clip shown.
  VEK.Chart.prototype.setMarks = function (marks) {
    var next = marks && marks.length ? marks : null;
    // Every clip-list report sets the marks: with none before and none now,
    // a redraw would only make the page lay out the whole list again.
    if (!next && !this.marks) return;
    this.marks = next;
    this.redraw();
  };

  VEK.Chart.prototype.drawMarks = function (ctx, box) {
    var self = this;
    ctx.lineWidth = 1.5;
    this.marks.forEach(function (mark) {
      if (mark.t < 0 || mark.t > self.duration) return;
      var x = Math.round(box.x + mark.t / self.duration * box.w) + 0.5;
      ctx.strokeStyle = ctx.fillStyle = self.color(COLORS[mark.kind] || COLORS.bump, '#d33');
      ctx.beginPath(); ctx.moveTo(x, box.y); ctx.lineTo(x, box.y + box.h); ctx.stroke();
      ctx.beginPath(); ctx.moveTo(x, box.y); ctx.lineTo(x + 6, box.y + 3); ctx.lineTo(x, box.y + 6); ctx.fill();
    });
  };
})(window.VEK = window.VEK || {});
