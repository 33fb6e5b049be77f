// Trips: consecutive clips whose recorded times follow each other within a
// gap, with their figures. GPS glitches (no fix, a (0, 0) fix, a jump that
// implies more than 300 km/h) stay in the tracks but are left out of the
// route, the distance and the speeds.
(function (VEK) {
  'use strict';

  var EARTH_RADIUS_M = 6371008.8;
  var GLITCH_KMH = 300; // no car covers ground faster
  var MIN_STEP_S = 0.1;
  var MOVING_KMH = 3; // slower is standing, left out of the average
  var DEFAULT_GAP_S = 120;

  function greatCircle(lat1, lon1, lat2, lon2) {
    var r = Math.PI / 180;
    var dlat = (lat2 - lat1) * r;
    var dlon = (lon2 - lon1) * r;
    var h = Math.sin(dlat / 2) * Math.sin(dlat / 2) +
      Math.cos(lat1 * r) * Math.cos(lat2 * r) * Math.sin(dlon / 2) * Math.sin(dlon / 2);
    return 2 * EARTH_RADIUS_M * Math.asin(Math.min(1, Math.sqrt(h)));
  }

  // freeGPS writes its status letter as a code, 86 being 'V' (no fix).
  function noFix(stat) { return stat === '86' || stat === 'V'; }

  function fixes(tracks) {
    var list = [];
    tracks.forEach(function (track, c) {
      for (var i = 0; i < track.count; i++) {
        if (track.valid[i] && !noFix(track.stat[i])) list.push({ c: c, i: i, t: track.utcStart + track.t[i] });
      }
    });
    return list;
  }

  function jump(tracks, a, b) {
    if (!a || !b) return false;
    var ta = tracks[a.c]; var tb = tracks[b.c];
    var metres = greatCircle(ta.lat[a.i], ta.lon[a.i], tb.lat[b.i], tb.lon[b.i]);
    return metres / Math.max(MIN_STEP_S, Math.abs(b.t - a.t)) * 3.6 > GLITCH_KMH;
  }

  // Sets track.onRoute (1 per kept sample) on every track of a trip: a fix
  // that jumps away from the last kept one and back is an isolated glitch.
  function markRoute(tracks) {
    tracks.forEach(function (track) { track.onRoute = new Uint8Array(track.count); });
    var list = fixes(tracks);
    var kept = null;
    for (var k = 0; k < list.length; k++) {
      var next = list[k + 1]; var after = list[k + 2];
      var glitch = kept ? jump(tracks, kept, list[k]) && (!next || jump(tracks, list[k], next))
        : jump(tracks, list[k], next) && !!after && !jump(tracks, next, after);
      if (glitch) continue;
      tracks[list[k].c].onRoute[list[k].i] = 1;
      kept = list[k];
    }
  }

  // Figures of one clip, kept with its track: the route marks, distance
  // along it, top speed, and the sum and count of moving speeds.
  var clipCache = new WeakMap();

  function clipFigures(track) {
    var cached = clipCache.get(track);
    if (cached) return cached;
    markRoute([track]);
    var f = { distance: 0, maxKmh: 0, movingSum: 0, moving: 0, first: -1, last: -1 };
    for (var i = 0; i < track.count; i++) {
      if (!track.onRoute[i]) continue;
      if (f.last >= 0) f.distance += greatCircle(track.lat[f.last], track.lon[f.last], track.lat[i], track.lon[i]);
      if (f.first < 0) f.first = i;
      f.last = i;
      var kmh = track.speed[i];
      if (!isFinite(kmh)) continue;
      f.maxKmh = Math.max(f.maxKmh, kmh);
      if (kmh >= MOVING_KMH) { f.movingSum += kmh; f.moving++; }
    }
    clipCache.set(track, f);
    return f;
  }

  // The step from one clip's last kept fix to the next clip's first, unless it is a jump.
  function boundaryMetres(a, fa, b, fb) {
    if (fa.last < 0 || fb.first < 0) return 0;
    var from = { c: 0, i: fa.last, t: a.utcStart + a.t[fa.last] };
    var to = { c: 1, i: fb.first, t: b.utcStart + b.t[fb.first] };
    if (jump([a, b], from, to)) return 0;
    return greatCircle(a.lat[fa.last], a.lon[fa.last], b.lat[fb.first], b.lon[fb.first]);
  }

  // Running figures of a trip's first tracks, to go on from when the trip
  // grows at its end: a clip added to a trip of hundreds costs only itself.
  function noSums() { return { distance: 0, maxKmh: 0, movingSum: 0, moving: 0, last: null, count: 0 }; }

  // The sums of `sums` and then `tracks`, added in the order a whole pass
  // adds them, so the figures come out exactly the same.
  function extend(sums, tracks) {
    var s = Object.assign({}, sums);
    tracks.forEach(function (track) {
      var f = clipFigures(track);
      if (s.last) s.distance += boundaryMetres(s.last, clipFigures(s.last), track, f);
      s.distance += f.distance;
      s.maxKmh = Math.max(s.maxKmh, f.maxKmh);
      s.movingSum += f.movingSum; s.moving += f.moving;
      s.last = track;
      s.count++;
    });
    return s;
  }

  function figures(sums) {
    return { distance: sums.distance, maxKmh: sums.maxKmh, avgKmh: sums.moving ? sums.movingSum / sums.moving : 0,
      sums: sums };
  }

  // Puts the true start time (UTC seconds) on a track, once per camera
  // zone and correction: a camera zone costs a few time-zone look-ups.
  function timeTrack(track, clock) {
    var basis = clock.cameraZone + '|' + clock.correction;
    if (track.utcBasis === basis) return track;
    track.form = VEK.time.formOf(track);
    track.utcStart = clock.utc(track.start, track.form);
    track.utcBasis = basis;
    return track;
  }

  function gapOf(gapSeconds) {
    return isFinite(gapSeconds) && gapSeconds >= 0 ? gapSeconds : DEFAULT_GAP_S;
  }

  // A clip's true start and end (UTC seconds), null without a track.
  function spanOf(clip, clock) {
    var track = clip.track ? timeTrack(clip.track, clock) : null;
    if (!track) return null;
    return { start: track.utcStart, end: track.utcStart + (clip.duration > 0 ? clip.duration : track.duration) };
  }

  // A clip joins the trip of the clip before it when it starts no earlier
  // and within the gap after that one's end.
  function joins(prev, span, gap) {
    return !!(prev && span && span.start >= prev.start && span.start - prev.end <= gap);
  }

  // clips: [{track, duration}] in list order (track null when unknown).
  // Returns [{first, last, spans}]: clip indices and each clip's true start
  // and end; a clip without track is a trip of its own.
  function group(clips, clock, gapSeconds) {
    var gap = gapOf(gapSeconds);
    var trips = [];
    var prev = null;
    clips.forEach(function (clip, index) {
      var span = spanOf(clip, clock);
      if (!joins(prev, span, gap)) trips.push({ first: index, last: index, spans: [] });
      var trip = trips[trips.length - 1];
      trip.last = index;
      trip.spans.push(span);
      prev = span;
    });
    return trips;
  }

  // Figures of one trip from its clips' tracks (all present). Glitches are
  // judged within each clip, so a clip read later costs only its own pass.
  // `before`: the figures of a trip these tracks continue (its tracks are
  // the first of `tracks`), or none to add them all up.
  function describe(trip, tracks, before) {
    var from = before && before.sums && before.sums.count <= tracks.length ? before.sums : noSums();
    var f = figures(extend(from, tracks.slice(from.count)));
    var spans = trip.spans.filter(Boolean);
    f.start = spans.length ? spans[0].start : NaN;
    f.end = spans.length ? spans[spans.length - 1].end : NaN;
    f.duration = f.end - f.start;
    return f;
  }

  VEK.trips = { group: group, describe: describe, spanOf: spanOf, joins: joins, gapOf: gapOf };
})(window.VEK = window.VEK || {});
