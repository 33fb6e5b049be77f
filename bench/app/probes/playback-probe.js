// Benchmark probe: once a <video> has played for a second, counts over
// VEK_BENCH.seconds the frames it decoded and dropped
// (getVideoPlaybackQuality) and the page's own animation frames, and the
// longest gap between two of them; reports "VEKBENCH playback {...}".
(function () {
  'use strict';
  var seconds = (window.VEK_BENCH && window.VEK_BENCH.seconds) || 20;

  function report(video, start, quality, frames, longestGap) {
    var now = video.getVideoPlaybackQuality();
    console.log('VEKBENCH playback ' + JSON.stringify({
      seconds: (performance.now() - start) / 1000,
      dropped: now.droppedVideoFrames - quality.droppedVideoFrames,
      total: now.totalVideoFrames - quality.totalVideoFrames,
      animationFrames: frames,
      longestFrameGapMs: longestGap,
      videoSeconds: video.currentTime
    }));
  }

  function measure(video) {
    var start = performance.now();
    var quality = video.getVideoPlaybackQuality();
    var frames = 0;
    var last = start;
    var longestGap = 0;
    function tick(now) {
      frames++;
      longestGap = Math.max(longestGap, now - last);
      last = now;
      if (now - start < seconds * 1000) requestAnimationFrame(tick);
      else report(video, start, quality, frames, longestGap);
    }
    requestAnimationFrame(tick);
  }

  var waiting = setInterval(function () {
    var video = document.querySelector('video');
    if (!video || video.paused || video.currentTime < 1) return;
    clearInterval(waiting);
    measure(video);
  }, 50);
})();
