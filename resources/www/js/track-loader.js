// Loads track data files: scripts that fill the global table `data`.
// One file at a time, so that an evaluation error can be laid at the right
// file (a file:// script reports only "Script error." without its name).
// Parsed tracks are kept; the raw table is dropped to save memory.
(function (VEK) {
  'use strict';

  var queue = [];
  var busy = false;
  var cache = {};
  var failed = new Set(); // keys whose result in the cache is an error
  var pending = {};

  function cacheKey(trackPath, clipName) { return trackPath + '\n' + clipName; }

  function finish(job, result) {
    cache[job.key] = result;
    if (result.error) failed.add(job.key);
    var callbacks = pending[job.key] || [];
    delete pending[job.key];
    callbacks.forEach(function (cb) { cb(result); });
  }

  function outcome(table, failedToLoad, failedToRun) {
    if (failedToLoad) return { error: 'missing' };
    if (failedToRun && !table) return { error: 'broken' };
    if (!table) return { error: 'nodata' };
    var track = VEK.track.fromTable(table);
    return track.count ? { track: track } : { error: 'empty' };
  }

  function run(job) {
    busy = true;
    var script = document.createElement('script');
    var failedToRun = false;
    function onWindowError() { failedToRun = true; }
    function settle(failedToLoad) {
      window.removeEventListener('error', onWindowError);
      script.remove();
      var table = window.data[job.clipName];
      delete window.data[job.clipName];
      finish(job, outcome(table, failedToLoad, failedToRun));
      busy = false;
      next();
    }
    window.addEventListener('error', onWindowError);
    script.onload = function () { settle(false); };
    script.onerror = function () { settle(true); };
    script.src = VEK.paths.fileUrl(job.trackPath);
    document.head.appendChild(script);
  }

  function next() {
    if (busy || !queue.length) return;
    run(queue.shift());
  }

  // Calls back with {track} or {error: missing|broken|nodata|empty}.
  // `urgent` puts the request before background ones.
  function load(trackPath, clipName, done, urgent) {
    var key = cacheKey(trackPath, clipName);
    if (cache[key]) { done(cache[key]); return; }
    if (pending[key]) {
      pending[key].push(done);
      if (urgent) promote(key);
      return;
    }
    pending[key] = [done];
    var job = { key: key, trackPath: trackPath, clipName: clipName };
    if (urgent) queue.unshift(job); else queue.push(job);
    next();
  }

  function promote(key) {
    for (var i = 0; i < queue.length; i++) {
      if (queue[i].key === key) { queue.unshift(queue.splice(i, 1)[0]); return; }
    }
  }

  function cached(trackPath, clipName) { return cache[cacheKey(trackPath, clipName)] || null; }

  // After an import a missing or broken file may have been written anew.
  // Every report of an intake asks: only the failures are visited.
  function forgetFailures() {
    failed.forEach(function (key) { delete cache[key]; });
    failed.clear();
  }

  VEK.trackLoader = { load: load, cached: cached, forgetFailures: forgetFailures };
})(window.VEK = window.VEK || {});
