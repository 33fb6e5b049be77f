// Trips of a clip list that grows. An intake reports the whole list again
// every 100 ms with a few clips more, and each background read gives a clip
// its track: regrouping hundreds of clips for each would hold the page for
// far longer than a frame. Here only the clips that are new, or whose track
// or span changed, are placed: each decides whether it joins the clip
// before it and whether the clip after it joins it, which merges it into a
// neighbouring trip, starts one of its own, or joins two. Every other trip
// keeps its object, and with it its figures and header. A list with clips
// gone, or other settings, is grouped anew.
(function (VEK) {
  'use strict';

  function TripGrouping() {
    this.keys = []; // per clip of the last list: its key
    this.tracks = [];
    this.spans = [];
    this.starts = []; // per clip: it begins a trip
    this.tripAt = []; // per clip: its trip
    this.basis = null;
  }

  function sameSpan(a, b) {
    return a === b || (!!a && !!b && a.start === b.start && a.end === b.end);
  }

  // entries: [{key, track, duration}] in list order (track null when
  // unknown); basis: the settings the trips depend on, as text. Returns the
  // trips [{first, last, spans}] as VEK.trips.group makes them, where a
  // trip of the same clips, tracks and spans as before is the same object.
  TripGrouping.prototype.update = function (entries, clock, gapSeconds, basis) {
    var gap = VEK.trips.gapOf(gapSeconds);
    var spans = entries.map(function (entry) { return VEK.trips.spanOf(entry, clock); });
    var keys = entries.map(function (entry) { return entry.key; });
    var kept = basis === this.basis ? VEK.listDiff.grown(this.keys, keys) : null;
    var starts = this.place(spans, kept, gap);
    var trips = this.collect(entries, spans, starts, kept);
    this.keys = keys;
    this.tracks = entries.map(function (entry) { return entry.track; });
    this.spans = spans;
    this.starts = starts;
    this.basis = basis;
    return trips;
  };

  TripGrouping.prototype.place = function (spans, kept, gap) {
    var starts = new Array(spans.length);
    for (var i = 0; i < spans.length; i++) {
      starts[i] = this.carries(spans, kept, i) ? this.starts[kept[i]] : !VEK.trips.joins(spans[i - 1], spans[i], gap);
    }
    return starts;
  };

  // A clip kept next to the same clip as before, both with the spans they
  // had, keeps its join; every other clip is placed again.
  TripGrouping.prototype.carries = function (spans, kept, i) {
    if (!kept || i === 0 || kept[i] <= 0 || kept[i - 1] !== kept[i] - 1) return false;
    return sameSpan(this.spans[kept[i]], spans[i]) && sameSpan(this.spans[kept[i - 1]], spans[i - 1]);
  };

  TripGrouping.prototype.collect = function (entries, spans, starts, kept) {
    var trips = [];
    var tripAt = new Array(spans.length);
    for (var first = 0; first < spans.length;) {
      var last = first;
      while (last + 1 < spans.length && !starts[last + 1]) last++;
      var trip = (kept && this.reused(first, last, entries, spans, kept)) || this.made(first, last, entries, spans, kept);
      trips.push(trip);
      for (var i = first; i <= last; i++) tripAt[i] = trip;
      first = last + 1;
    }
    this.tripAt = tripAt;
    return trips;
  };

  // A trip new in this list; `grewFrom` is the trip of the last list it
  // continues, if any.
  TripGrouping.prototype.made = function (first, last, entries, spans, kept) {
    var trip = { first: first, last: last, spans: spans.slice(first, last + 1) };
    var old = kept ? this.tripFrom(first, last, entries, spans, kept) : null;
    if (old) trip.grewFrom = old;
    return trip;
  };

  // The trip of clips first..last when it is exactly a trip of the last
  // list, with the same tracks and spans: moved to its new place.
  TripGrouping.prototype.reused = function (first, last, entries, spans, kept) {
    var old = this.tripFrom(first, last, entries, spans, kept);
    if (!old || old.last - old.first !== last - first) return null;
    old.first = first;
    old.last = last;
    return old;
  };

  // The trip of the last list that clips first..last begin with: the same
  // clips, tracks and spans, at most as many. A trip that only grew at its
  // end goes on from its figures.
  TripGrouping.prototype.tripFrom = function (first, last, entries, spans, kept) {
    var from = kept[first];
    var old = from >= 0 ? this.tripAt[from] : null;
    if (!old || old.first !== from || old.last - old.first > last - first) return null;
    for (var i = first; i <= first + old.last - old.first; i++) {
      var k = kept[i];
      if (k !== from + i - first || this.tracks[k] !== entries[i].track || !sameSpan(this.spans[k], spans[i])) return null;
    }
    return old;
  };

  VEK.TripGrouping = TripGrouping;
})(window.VEK = window.VEK || {});
