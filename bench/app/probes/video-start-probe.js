// Benchmark probe for a bare page with one <video>: starts the clip in it
// VEK_BENCH.starts times, each once the last has ended, as the viewer goes
// from clip to clip, while a 5 ms heartbeat runs. Reports
// "VEKBENCH videostart {...}" with the longest heartbeat gap: the longest
// task the engine itself takes to start a video, the baseline of a page
// that plays clips.
(function () {
  'use strict';
  var settings = window.VEK_BENCH || {};
  var wanted = settings.starts || 5;
  var longest = 0;
  var last = 0;
  var started = 0;

  function beat() {
    var now = performance.now();
    longest = Math.max(longest, now - last);
    last = now;
  }

  function start(video) {
    started++;
    video.src = settings.clip;
    video.play();
  }

  window.addEventListener('load', function () {
    var video = document.querySelector('video');
    video.addEventListener('ended', function () {
      if (started < wanted) { start(video); return; }
      console.log('VEKBENCH videostart ' + JSON.stringify({ starts: started, longestGapMs: longest }));
    });
    last = performance.now();
    setInterval(beat, 5);
    start(video);
  });
})();
