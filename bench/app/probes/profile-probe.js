// Benchmark probe: where the page's main thread spends its time. Once the
// page has loaded, wraps the page's own functions (the VEK namespaces, the
// prototypes of its views and the script calls the native side makes) and
// times each call; nested calls count in their callers too. It also notes
// the video's events and each track file's script from its insertion to its
// removal (loaded and run). On window.vekProfileReport(gaps) it writes
// "VEKBENCH profile {...}": per function its calls, total and longest time,
// the 40 longest outermost calls that took VEK_BENCH.profileLongMs or more,
// and for each gap ([start ms, length ms] of the heartbeat) what ran in it:
// the outermost calls of 2 ms or more, the time they took together, and
// the events.
(function () {
  'use strict';
  var longMs = (window.VEK_BENCH && window.VEK_BENCH.profileLongMs) || 30;
  var NOTED_MS = 2;
  var KEPT = 50000;
  var stats = {};
  var longCalls = [];
  var noted = []; // outermost calls of NOTED_MS or more: [at, ms, name]
  var events = []; // [at, name]
  var depth = 0;

  function note(list, entry) { if (list.length < KEPT) list.push(entry); }

  var MEDIA_EVENTS = ['loadstart', 'loadedmetadata', 'loadeddata', 'canplay', 'playing', 'pause', 'seeking', 'seeked',
    'ended', 'emptied', 'error'];
  MEDIA_EVENTS.forEach(function (type) {
    document.addEventListener(type, function () { note(events, [performance.now(), 'video ' + type]); }, true);
  });
  ['DOMContentLoaded', 'load'].forEach(function (type) {
    window.addEventListener(type, function () { note(events, [performance.now(), 'page ' + type]); });
  });

  // Track files are scripts put in the head and taken out once run.
  new MutationObserver(function (records) {
    var now = performance.now();
    records.forEach(function (r) {
      r.addedNodes.forEach(function (n) { if (n.src && /\.data$/.test(n.src)) note(events, [now, 'track script in']); });
      r.removedNodes.forEach(function (n) { if (n.src && /\.data$/.test(n.src)) note(events, [now, 'track script out']); });
    });
  }).observe(document.documentElement, { childList: true, subtree: true });

  function timed(name, fn) {
    var wrapped = function () {
      var started = performance.now();
      depth++;
      try {
        return fn.apply(this, arguments);
      } finally {
        depth--;
        var spent = performance.now() - started;
        var s = stats[name] || (stats[name] = { calls: 0, totalMs: 0, maxMs: 0 });
        s.calls++; s.totalMs += spent; s.maxMs = Math.max(s.maxMs, spent);
        if (!depth && spent >= longMs) longCalls.push({ name: name, at: started, ms: spent });
        if (!depth && spent >= NOTED_MS) note(noted, [started, spent, name]);
      }
    };
    wrapped.prototype = fn.prototype;
    Object.keys(fn).forEach(function (key) { wrapped[key] = fn[key]; });
    return wrapped;
  }

  function wrapMembers(owner, prefix) {
    Object.getOwnPropertyNames(owner).forEach(function (key) {
      var d = Object.getOwnPropertyDescriptor(owner, key);
      if (!d || typeof d.value !== 'function' || !d.writable || key === 'constructor') return;
      owner[key] = timed(prefix + key, d.value);
    });
  }

  function wrapPage() {
    var VEK = window.VEK || {};
    Object.keys(VEK).forEach(function (name) {
      var part = VEK[name];
      if (typeof part === 'function' && part.prototype) wrapMembers(part.prototype, name + '#');
      else if (part && typeof part === 'object' && name !== 'app') wrapMembers(part, name + '.');
    });
    ['file_list_fun', 'clip_facts', 'intake_progress', 'intake_failed'].forEach(function (name) {
      if (typeof window[name] === 'function') window[name] = timed(name, window[name]);
    });
  }

  function within(list, from, to) {
    return list.filter(function (e) { return e[0] + (e.length > 2 ? e[1] : 0) >= from && e[0] <= to; });
  }

  // What ran in one gap: its calls, longest first, and its events in order.
  function named(gap) {
    var from = gap[0]; var to = gap[0] + gap[1];
    var calls = within(noted, from, to);
    var callMs = calls.reduce(function (sum, c) { return sum + Math.min(c[0] + c[1], to) - Math.max(c[0], from); }, 0);
    return {
      at: Math.round(from), ms: Math.round(gap[1]), callMs: Math.round(callMs),
      calls: calls.slice().sort(function (a, b) { return b[1] - a[1]; }).slice(0, 6)
        .map(function (c) { return c[2] + ' ' + Math.round(c[1]); }),
      events: within(events, from, to).map(function (e) { return e[1] + '@' + Math.round(e[0]); }).slice(0, 8)
    };
  }

  window.vekProfileReport = function (gaps) {
    var list = Object.keys(stats).map(function (name) {
      var s = stats[name];
      return { name: name, calls: s.calls, totalMs: Math.round(s.totalMs), maxMs: Math.round(s.maxMs) };
    });
    console.log('VEKBENCH profile ' + JSON.stringify({
      functions: list.sort(function (a, b) { return b.maxMs - a.maxMs; }).slice(0, 25),
      longCalls: longCalls.slice().sort(function (a, b) { return b.ms - a.ms; }).slice(0, 40)
        .sort(function (a, b) { return a.at - b.at; }).map(function (c) { return { name: c.name, at: Math.round(c.at), ms: Math.round(c.ms) }; }),
      gaps: (gaps || []).map(named)
    }));
  };

  window.addEventListener('load', wrapPage);
})();
