// Benchmark probe: from the page's load until its clip list holds
// VEK_BENCH.clips rows, the longest time the page's main thread went without
// running a 5 ms heartbeat (and the longest 'longtask' entry where the engine
// reports them); then "VEKBENCH list {...}" with the wall-clock time the list
// was complete and how long after the last clip-list report the page got
// before then (the page's own share of the list's lag). The heartbeat goes on until the page has settled (every
// listed track read, the trips made of them and shown) and a second more,
// then "VEKBENCH settled {...}" with the longest gap after the list was
// complete and the 60 longest gaps over VEK_BENCH.gapLogMs.
(function () {
  'use strict';
  var settings = window.VEK_BENCH || {};
  var expected = settings.clips || 1;
  var gapLogMs = settings.gapLogMs || 100;
  var SETTLE_TIMEOUT_MS = 60000; // a clip playing holds back the reads of the others
  var QUIET_MS = 1000;
  var longestGap = 0;
  var longestTask = null;
  var last = 0;
  var gaps = [];
  var completeAt = 0;
  var settledSince = 0;
  var lastReportAt = 0;

  // Notes when the native side last reported the clip list.
  function watchReports() {
    var report = window.file_list_fun;
    if (typeof report !== 'function') return;
    window.file_list_fun = function () {
      lastReportAt = performance.now();
      return report.apply(this, arguments);
    };
  }

  // The rows the list holds once none it shows is left to build: a long
  // list keeps only the rows in and near sight in the page.
  function rows() {
    var list = window.VEK && window.VEK.app && window.VEK.app.views.list;
    return list && !list.unbuilt ? list.rows.length : 0;
  }

  function rowsInPage() { return document.querySelectorAll('[data-r="clip-list"] .clip').length; }

  function observeLongTasks() {
    var types = (window.PerformanceObserver && PerformanceObserver.supportedEntryTypes) || [];
    if (types.indexOf('longtask') < 0) return;
    new PerformanceObserver(function (list) {
      list.getEntries().forEach(function (e) { longestTask = Math.max(longestTask || 0, e.duration); });
    }).observe({ type: 'longtask' });
  }

  // Every listed track read, no trip refresh due, and the trips made of
  // the list on show.
  function settled() {
    var app = window.VEK && window.VEK.app;
    if (!app) return false;
    var clips = app.viewer.clips;
    var read = clips.every(function (clip) { return window.VEK.trackLoader.cached(clip.track, clip.name); });
    return read && app.tripView.timer === null && app.tripView.listed === clips &&
      document.querySelector('.trip-header') !== null;
  }

  function reportList(now) {
    completeAt = now;
    console.log('VEKBENCH list ' + JSON.stringify({
      completeAt: Date.now(), rows: rows(), rowsInPage: rowsInPage(), longestGapMs: longestGap, longestTaskMs: longestTask,
      afterReportMs: lastReportAt ? now - lastReportAt : null
    }));
    longestGap = 0;
  }

  // The `count` longest gaps, in the order they came.
  function longest(list, count) {
    var kept = list.slice().sort(function (a, b) { return b[1] - a[1]; }).slice(0, count);
    return kept.sort(function (a, b) { return a[0] - b[0]; });
  }

  function reportSettled(now, done) {
    clearInterval(timer);
    console.log('VEKBENCH settled ' + JSON.stringify({
      settled: done, afterListMs: now - completeAt, longestGapMs: longestGap,
      gaps: longest(gaps, 60).map(function (g) { return [Math.round(g[0]), Math.round(g[1])]; })
    }));
    if (window.vekProfileReport) window.vekProfileReport(longest(gaps, 60));
  }

  function watchSettling(now) {
    if (!settled()) settledSince = 0;
    else if (!settledSince) settledSince = now;
    if (settledSince && now - settledSince >= QUIET_MS) reportSettled(now, true);
    else if (now - completeAt > SETTLE_TIMEOUT_MS) reportSettled(now, false);
  }

  function beat() {
    var now = performance.now();
    var gap = now - last;
    longestGap = Math.max(longestGap, gap);
    if (gap > gapLogMs) gaps.push([last, gap]);
    last = now;
    if (!completeAt) {
      if (rows() >= expected) reportList(now);
      return;
    }
    watchSettling(now);
  }

  var timer = null;
  window.addEventListener('load', function () {
    observeLongTasks();
    watchReports();
    last = performance.now();
    timer = setInterval(beat, 5);
  });
})();
