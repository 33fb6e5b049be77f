// Benchmark probe for a page that does nothing: once a second, the longest
// time its main thread went without running a 5 ms heartbeat in that
// second, as "VEKBENCH idle {...}". Beside a busy page on the same machine
// at the same time, it tells the machine's share of a long task.
(function () {
  'use strict';
  var last = 0;
  var longest = 0;
  var windowStart = 0;

  function beat() {
    var now = performance.now();
    longest = Math.max(longest, now - last);
    last = now;
    if (now - windowStart < 1000) return;
    console.log('VEKBENCH idle ' + JSON.stringify({ at: Date.now(), longestGapMs: longest }));
    longest = 0;
    windowStart = now;
  }

  window.addEventListener('load', function () {
    last = windowStart = performance.now();
    setInterval(beat, 5);
  });
})();
