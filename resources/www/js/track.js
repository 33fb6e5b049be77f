// One clip's samples, ordered by time, in typed arrays for fast lookup and
// drawing. Video time t maps to the last sample at or before the clip start
// (the earliest key) plus t, whatever form and hour offset the keys use.
(function (VEK) {
  'use strict';

  var NUMERIC = ['speed', 'lat', 'lon', 'x', 'y', 'z', 'degrees'];

  function number(value) {
    var n = parseFloat(value);
    return isFinite(n) ? n : NaN;
  }

  function sortedEntries(table) {
    var entries = [];
    Object.keys(table).forEach(function (key) {
      var at = VEK.timekeys.parse(key);
      var sample = table[key];
      if (isFinite(at) && sample && typeof sample === 'object') entries.push({ at: at, sample: sample });
    });
    // Array.prototype.sort is stable, so equal keys keep file order.
    return entries.sort(function (a, b) { return a.at - b.at; });
  }

  function emptyArrays(count) {
    var arrays = { t: new Float64Array(count), lbs: new Array(count), stat: new Array(count),
      valid: new Uint8Array(count) };
    NUMERIC.forEach(function (name) { arrays[name] = new Float64Array(count); });
    return arrays;
  }

  // A fix at exactly 0,0 is how the camera writes "no position".
  function isPosition(lat, lon) {
    return isFinite(lat) && isFinite(lon) && Math.abs(lat) <= 90 && Math.abs(lon) <= 180 &&
      !(lat === 0 && lon === 0);
  }

  function meanStep(t) {
    var n = t.length;
    return n > 1 ? (t[n - 1] - t[0]) / (n - 1) : 0;
  }

  // table: the object a track data file filled under the clip's name.
  function fromTable(table) {
    var entries = table && typeof table === 'object' ? sortedEntries(table) : [];
    var count = entries.length;
    var track = emptyArrays(count);
    var start = count ? entries[0].at : 0;
    var positions = 0;
    entries.forEach(function (entry, i) {
      var s = entry.sample;
      track.t[i] = entry.at - start;
      NUMERIC.forEach(function (name) { track[name][i] = number(s[name]); });
      track.lbs[i] = s.lbs == null ? '' : String(s.lbs);
      track.stat[i] = s.stat == null ? '' : String(s.stat);
      track.valid[i] = isPosition(track.lat[i], track.lon[i]) ? 1 : 0;
      positions += track.valid[i];
    });
    track.count = count;
    track.start = start;
    track.positions = positions;
    track.duration = count ? track.t[count - 1] + meanStep(track.t) : 0;
    return track;
  }

  // Index of the sample shown at video time `time`; -1 for an empty track.
  function indexAt(track, time) {
    var t = track.t;
    if (!track.count) return -1;
    var lo = 0;
    var hi = track.count - 1;
    var target = time + 1e-6; // 7.5 s of video is the sample keyed 7.5
    if (!(target > t[0])) return 0;
    while (lo < hi) {
      var mid = (lo + hi + 1) >> 1;
      if (t[mid] <= target) lo = mid; else hi = mid - 1;
    }
    return lo;
  }

  VEK.track = { fromTable: fromTable, indexAt: indexAt };
})(window.VEK = window.VEK || {});
