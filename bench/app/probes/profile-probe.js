// Benchmark probe: where the page's main thread spends its time. Once the
// page has loaded, wraps the page's own functions (the VEK namespaces, the
// prototypes of its views and the script calls the native side makes) and
// times each call; nested calls count in their callers too. On
// window.vekProfileReport() it writes "VEKBENCH profile {...}": per
// function its calls, total and longest time, and the 40 longest outermost
// calls that took VEK_BENCH.profileLongMs or more.
(function () {
  'use strict';
  var longMs = (window.VEK_BENCH && window.VEK_BENCH.profileLongMs) || 30;
  var stats = {};
  var longCalls = [];
  var depth = 0;

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

  window.vekProfileReport = function () {
    var list = Object.keys(stats).map(function (name) {
      var s = stats[name];
      return { name: name, calls: s.calls, totalMs: Math.round(s.totalMs), maxMs: Math.round(s.maxMs) };
    });
    console.log('VEKBENCH profile ' + JSON.stringify({
      functions: list.sort(function (a, b) { return b.maxMs - a.maxMs; }).slice(0, 25),
      longCalls: longCalls.slice().sort(function (a, b) { return b.ms - a.ms; }).slice(0, 40)
        .sort(function (a, b) { return a.at - b.at; }).map(function (c) { return { name: c.name, at: Math.round(c.at), ms: Math.round(c.ms) }; })
    }));
  };

  window.addEventListener('load', wrapPage);
})();
