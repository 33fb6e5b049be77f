// Benchmark probe: once a <video> has played for a second, counts over
// VEK_BENCH.seconds the frames it decoded and dropped
// (getVideoPlaybackQuality) and the page's own animation frames, and the
// longest gap between two of them and the 95th percentile of those gaps;
// reports "VEKBENCH playback {...}".
(function () {
  'use strict';
  var seconds = (window.VEK_BENCH && window.VEK_BENCH.seconds) || 20;

  function percentile(sorted, share) {
    return sorted.length ? sorted[Math.min(sorted.length - 1, Math.floor(share * sorted.length))] : 0;
  }

  function report(video, start, quality, gaps) {
    var now = video.getVideoPlaybackQuality();
    var sorted = gaps.slice().sort(function (a, b) { return a - b; });
    console.log('VEKBENCH playback ' + JSON.stringify({
      seconds: (performance.now() - start) / 1000,
      dropped: now.droppedVideoFrames - quality.droppedVideoFrames,
      total: now.totalVideoFrames - quality.totalVideoFrames,
      animationFrames: gaps.length,
      longestFrameGapMs: percentile(sorted, 1),
      p95FrameGapMs: percentile(sorted, 0.95),
      videoSeconds: video.currentTime
    }));
  }

  function measure(video) {
    var start = performance.now();
    var quality = video.getVideoPlaybackQuality();
    var gaps = [];
    var last = start;
    function tick(now) {
      gaps.push(now - last);
      last = now;
      if (now - start < seconds * 1000) requestAnimationFrame(tick);
      else report(video, start, quality, gaps);
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
