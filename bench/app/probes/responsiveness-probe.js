// Benchmark probe: once the page's <video> has played for a second, records
// the page's animation-frame intervals for VEK_BENCH.baselineSeconds with
// nothing else going on, then clicks the first card offer and records them
// again until the native side reports the intake ended. Reports
// "VEKBENCH responsiveness {...}" with each phase's wall-clock span, frame
// interval p95 and longest, the count of frames over 25 ms, and how far the
// video played in it. With the profile probe loaded, the intake's longest
// frames ([start ms, length ms], VEK_BENCH.profileFrames of them) go to its
// report, and the intake's figures list them with the longest task the
// page's main thread ran in each (from a 5 ms heartbeat): a frame much
// longer than its longest task was held up outside the page's script and
// layout.
(function () {
  'use strict';
  var settings = window.VEK_BENCH || {};
  var baselineMs = (settings.baselineSeconds || 10) * 1000;
  var profiledFrames = settings.profileFrames || 20;
  // A frame this long missed at least one display refresh (60 Hz).
  var SLOW_FRAME_MS = 25;

  function video() { return document.querySelector('video'); }

  // The last state the native side reported since the offer was clicked
  // (the intake of the clip on the command line reports too, earlier).
  var intakeState = '';
  function watchIntake() {
    var report = window.intake_progress;
    window.intake_progress = function (state) {
      intakeState = String(state);
      return report.apply(this, arguments);
    };
  }

  function percentile(sorted, share) {
    return sorted.length ? sorted[Math.min(sorted.length - 1, Math.floor(share * sorted.length))] : 0;
  }

  // The `count` longest frames, in the order they came.
  function longest(frames, count) {
    var kept = frames.slice().sort(function (a, b) { return b[1] - a[1]; }).slice(0, count);
    return kept.sort(function (a, b) { return a[0] - b[0]; });
  }

  // The main thread's tasks of 10 ms or more ([start, length]) while profiling.
  var tasks = [];
  function beat() {
    var last = performance.now();
    setInterval(function () {
      var now = performance.now();
      if (now - last >= 10) tasks.push([last, now - last]);
      last = now;
    }, 5);
  }

  function longestTaskIn(frame) {
    return tasks.reduce(function (most, t) {
      var overlap = Math.min(t[0] + t[1], frame[0] + frame[1]) - Math.max(t[0], frame[0]);
      return Math.max(most, overlap);
    }, 0);
  }

  // Collects intervals until done() says the phase is over, then calls back
  // with its figures and its frames ([start, length]).
  function phase(done, then) {
    var frames = [];
    var startedAt = Date.now();
    var played = 0; // forward steps only: an import may switch the clip
    var position = video().currentTime;
    var last = null;
    function frame(now) {
      if (last !== null) frames.push([last, now - last]);
      last = now;
      var step = video().currentTime - position;
      if (step > 0 && step < 1) played += step;
      position = video().currentTime;
      if (!done()) { requestAnimationFrame(frame); return; }
      var sorted = frames.map(function (f) { return f[1]; }).sort(function (a, b) { return a - b; });
      then({
        startedAt: startedAt, endedAt: Date.now(), frames: frames.length,
        p95Ms: percentile(sorted, 0.95), longestMs: percentile(sorted, 1),
        slowFrames: sorted.filter(function (f) { return f > SLOW_FRAME_MS; }).length,
        videoSeconds: played
      }, frames);
    }
    requestAnimationFrame(frame);
  }

  function importCard() {
    var button = document.querySelector('.card-offer button');
    if (!button || button.disabled) return false;
    watchIntake();
    button.click();
    return true;
  }

  function run() {
    if (window.vekProfileReport) beat();
    var baselineEnd = performance.now() + baselineMs;
    phase(function () { return performance.now() >= baselineEnd; }, function (baseline) {
      var clicked = false;
      phase(function () {
        clicked = clicked || importCard();
        return intakeState === 'finished' || intakeState === 'cancelled';
      }, function (intake, frames) {
        var profiled = window.vekProfileReport ? longest(frames, profiledFrames) : [];
        intake.longFrames = profiled.map(function (f) {
          return [Math.round(f[0]), Math.round(f[1]), Math.round(longestTaskIn(f))];
        });
        console.log('VEKBENCH responsiveness ' + JSON.stringify({ baseline: baseline, intake: intake }));
        if (window.vekProfileReport) window.vekProfileReport(profiled);
      });
    });
  }

  var waiting = setInterval(function () {
    var v = video();
    if (!v || v.paused || v.currentTime < 1) return;
    clearInterval(waiting);
    run();
  }, 50);
})();
