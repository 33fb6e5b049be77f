// Benchmark probe: once the page's <video> has played for a second, records
// the page's animation-frame intervals for VEK_BENCH.baselineSeconds with
// nothing else going on, then clicks the first card offer and records them
// again until the native side reports the intake ended. Reports
// "VEKBENCH responsiveness {...}" with each phase's wall-clock span, frame
// interval p95 and longest, and how far the video played in it.
(function () {
  'use strict';
  var settings = window.VEK_BENCH || {};
  var baselineMs = (settings.baselineSeconds || 10) * 1000;

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

  // Collects intervals until done() says the phase is over, then calls back
  // with its figures.
  function phase(done, then) {
    var intervals = [];
    var startedAt = Date.now();
    var played = 0; // forward steps only: an import may switch the clip
    var position = video().currentTime;
    var last = null;
    function frame(now) {
      if (last !== null) intervals.push(now - last);
      last = now;
      var step = video().currentTime - position;
      if (step > 0 && step < 1) played += step;
      position = video().currentTime;
      if (!done()) { requestAnimationFrame(frame); return; }
      var sorted = intervals.slice().sort(function (a, b) { return a - b; });
      then({
        startedAt: startedAt, endedAt: Date.now(), frames: intervals.length,
        p95Ms: percentile(sorted, 0.95), longestMs: percentile(sorted, 1),
        videoSeconds: played
      });
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
    var baselineEnd = performance.now() + baselineMs;
    phase(function () { return performance.now() >= baselineEnd; }, function (baseline) {
      var clicked = false;
      phase(function () {
        clicked = clicked || importCard();
        return intakeState === 'finished' || intakeState === 'cancelled';
      }, function (intake) {
        console.log('VEKBENCH responsiveness ' + JSON.stringify({ baseline: baseline, intake: intake }));
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
