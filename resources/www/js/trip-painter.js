// Paints a trip's parts (muted lines and the ticks where clips start) into a
// picture. A trip of hundreds of clips takes a canvas far longer to paint
// than a frame lasts, so the painting runs in a worker of its own on an
// OffscreenCanvas and comes back as a bitmap; where a worker cannot paint,
// it is painted on the spot.
(function (VEK) {
  'use strict';

  // Runs in the page and, as its own source, in the worker.
  function painting(scope) {
    // One part: its line unless it is the current clip (the route is drawn
    // over it), then the tick where it starts.
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

    // parts: [{clip, xy}] in CSS pixels; ctx already scaled to them.
    scope.paintTrip = function (ctx, parts, current, muted) {
      ctx.lineJoin = 'round'; ctx.lineCap = 'round';
      parts.forEach(function (part) { paintPart(ctx, part, current, muted); });
    };

    // A job: {id, width, height (device pixels), ratio, parts, current, muted}.
    scope.onmessage = function (e) {
      var job = e.data;
      var canvas = new OffscreenCanvas(job.width, job.height);
      var ctx = canvas.getContext('2d');
      ctx.setTransform(job.ratio, 0, 0, job.ratio, 0, 0);
      scope.paintTrip(ctx, job.parts, job.current, job.muted);
      var bitmap = canvas.transferToImageBitmap();
      scope.postMessage({ id: job.id, bitmap: bitmap }, [bitmap]);
    };
  }

  var local = {};
  painting(local);

  var worker = null;
  var broken = !window.Worker || !window.OffscreenCanvas;
  var waiting = {}; // id -> callback
  var lastId = 0;

  function settleAll() {
    var callbacks = waiting;
    waiting = {};
    Object.keys(callbacks).forEach(function (id) { callbacks[id](null); });
  }

  function started() {
    if (worker || broken) return worker;
    try {
      var source = '(' + painting.toString() + ')(self);';
      worker = new Worker(URL.createObjectURL(new Blob([source], { type: 'text/javascript' })));
    } catch (error) {
      console.warn('vek page: trip painting stays on the page: ' + error);
      broken = true;
      return null;
    }
    worker.onmessage = function (e) {
      var done = waiting[e.data.id];
      delete waiting[e.data.id];
      if (done) done(e.data.bitmap);
    };
    worker.onerror = function (e) {
      console.warn('vek page: trip painting stays on the page: ' + e.message);
      broken = true;
      worker.terminate();
      worker = null;
      settleAll();
    };
    return worker;
  }

  // Calls back with an ImageBitmap of the job, or null when the worker
  // cannot paint (then the caller paints with paintTrip).
  function paint(job, done) {
    var w = started();
    if (!w) { done(null); return; }
    var id = ++lastId;
    waiting[id] = done;
    w.postMessage({ id: id, width: job.width, height: job.height, ratio: job.ratio, parts: job.parts,
      current: job.current, muted: job.muted });
  }

  VEK.tripPainter = { paint: paint, paintTrip: local.paintTrip };
})(window.VEK = window.VEK || {});
