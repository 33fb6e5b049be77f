// Driving events of one clip: a bump where the G-sensor's change from the
// clip's mean exceeds a threshold (the camera's values include gravity,
// so the mean is taken away), and a hard stop where speed falls faster than
// 15 km/h per second. Samples left off the route give no speed events.
(function (VEK) {
  'use strict';

  var DEFAULT_THRESHOLD_G = 0.5;
  var HARD_STOP_KMH_PER_S = 15;
  var STOP_WINDOW_S = 1; // speeds are whole-second figures in one camera family
  var MERGE_S = 2; // one jolt spans several samples: one event

  function means(track) {
    var sum = [0, 0, 0]; var n = 0;
    for (var i = 0; i < track.count; i++) {
      if (!isFinite(track.x[i]) || !isFinite(track.y[i]) || !isFinite(track.z[i])) continue;
      sum[0] += track.x[i]; sum[1] += track.y[i]; sum[2] += track.z[i]; n++;
    }
    return n ? sum.map(function (v) { return v / n; }) : null;
  }

  function push(list, kind, t, value) {
    var last = list.length ? list[list.length - 1] : null;
    if (last && last.kind === kind && t - last.end <= MERGE_S) {
      last.end = t;
      last.value = Math.max(last.value, value);
      return;
    }
    list.push({ kind: kind, t: t, end: t, value: value });
  }

  function bumps(track, threshold) {
    var m = means(track);
    var list = [];
    if (!m) return list;
    for (var i = 0; i < track.count; i++) {
      var dx = track.x[i] - m[0]; var dy = track.y[i] - m[1]; var dz = track.z[i] - m[2];
      var g = Math.sqrt(dx * dx + dy * dy + dz * dz);
      if (g > threshold) push(list, 'bump', track.t[i], g);
    }
    return list;
  }

  function usable(track, i) {
    return (track.onRoute ? track.onRoute[i] : track.valid[i]) && isFinite(track.speed[i]);
  }

  function hardStops(track) {
    var list = [];
    var j = 0;
    for (var i = 0; i < track.count; i++) {
      while (j < i && track.t[i] - track.t[j + 1] >= STOP_WINDOW_S) j++;
      var dt = track.t[i] - track.t[j];
      if (dt < STOP_WINDOW_S || !usable(track, i) || !usable(track, j)) continue;
      var rate = (track.speed[j] - track.speed[i]) / dt;
      if (rate > HARD_STOP_KMH_PER_S) push(list, 'stop', track.t[i], rate);
    }
    return list;
  }

  var cache = new WeakMap(); // track -> {threshold, events}

  // Events of the track ordered by time: [{kind: 'bump'|'stop', t, end, value}].
  function find(track, thresholdG) {
    if (!track || !track.count) return [];
    var threshold = thresholdG > 0 ? thresholdG : DEFAULT_THRESHOLD_G;
    var cached = cache.get(track);
    if (cached && cached.threshold === threshold && cached.onRoute === track.onRoute) return cached.events;
    var events = bumps(track, threshold).concat(hardStops(track)).sort(function (a, b) { return a.t - b.t; });
    cache.set(track, { threshold: threshold, onRoute: track.onRoute, events: events });
    return events;
  }

  // The event after (direction 1) or before (-1) video time `time` of clip
  // `clip`, over a trip's clips: [{clip, events}] in order; null at the end.
  function neighbour(trip, clip, time, direction) {
    var EPS = 0.05;
    var order = direction > 0 ? trip : trip.slice().reverse();
    for (var k = 0; k < order.length; k++) {
      var entry = order[k];
      var ahead = direction > 0 ? entry.clip > clip : entry.clip < clip;
      if (!ahead && entry.clip !== clip) continue;
      var events = direction > 0 ? entry.events : entry.events.slice().reverse();
      for (var e = 0; e < events.length; e++) {
        var t = events[e].t;
        if (ahead || (direction > 0 ? t > time + EPS : t < time - EPS)) return { clip: entry.clip, t: t };
      }
    }
    return null;
  }

  VEK.events = { find: find, neighbour: neighbour };
})(window.VEK = window.VEK || {});
