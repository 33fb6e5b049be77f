// Benchmark probe: from the page's load until its clip list holds
// VEK_BENCH.clips rows, the longest time the page's main thread went without
// running a 5 ms heartbeat (and the longest 'longtask' entry where the engine
// reports them); then "VEKBENCH list {...}" with the wall-clock time the list
// was complete.
(function () {
  'use strict';
  var expected = (window.VEK_BENCH && window.VEK_BENCH.clips) || 1;
  var longestGap = 0;
  var longestTask = null;
  var last = 0;

  function rows() { return document.querySelectorAll('[data-r="clip-list"] .clip').length; }

  function observeLongTasks() {
    var types = (window.PerformanceObserver && PerformanceObserver.supportedEntryTypes) || [];
    if (types.indexOf('longtask') < 0) return;
    new PerformanceObserver(function (list) {
      list.getEntries().forEach(function (e) { longestTask = Math.max(longestTask || 0, e.duration); });
    }).observe({ type: 'longtask' });
  }

  function beat() {
    var now = performance.now();
    longestGap = Math.max(longestGap, now - last);
    last = now;
    var shown = rows();
    if (shown < expected) return;
    clearInterval(timer);
    console.log('VEKBENCH list ' + JSON.stringify({
      completeAt: Date.now(), rows: shown, longestGapMs: longestGap, longestTaskMs: longestTask
    }));
  }

  var timer = null;
  window.addEventListener('load', function () {
    observeLongTasks();
    last = performance.now();
    timer = setInterval(beat, 5);
  });
})();
