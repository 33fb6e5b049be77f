// Trips in the clip list and around the clip on screen: a header above each
// trip's first clip with its figures, the whole trip under the route, event
// marks on the charts, and jumps from event to event across a trip's clips.
(function (VEK) {
  'use strict';

  var REFRESH_MS = 80; // background track reads arrive in bursts
  // A refresh over hundreds of clips takes a while: the next waits this many
  // times as long, so reading a card leaves the page most of its time.
  var REFRESH_SHARE = 4;
  // While a card is read a report comes every few frames, each with a clip
  // more: the trips are made again at most this often meanwhile.
  var INTAKE_REFRESH_MS = 1000;

  function TripView(app) {
    this.app = app;
    this.trips = [];
    this.listed = null; // the clip list the trips were made of
    this.timer = null;
    this.due = 0; // when the timer's refresh comes (performance.now())
    this.refreshMs = 0; // how long the last refresh took
    this.shownTrip = null; // what the route was last given
    this.grouping = new VEK.TripGrouping();
  }

  // A refresh already due comes no later; one set for the intake's pace
  // comes sooner once the intake is over.
  TripView.prototype.schedule = function () {
    var wait = Math.max(VEK.intake.running() ? INTAKE_REFRESH_MS : REFRESH_MS, REFRESH_SHARE * this.refreshMs);
    var due = performance.now() + wait;
    if (this.timer !== null && this.due <= due) return;
    clearTimeout(this.timer);
    this.due = due;
    var self = this;
    this.timer = setTimeout(function () {
      self.timer = null;
      var started = performance.now();
      self.refresh();
      self.refreshMs = performance.now() - started;
    }, wait);
  };

  function cachedTrack(clip) {
    var result = VEK.trackLoader.cached(clip.track, clip.name);
    return result && result.track ? result.track : null;
  }

  TripView.prototype.describe = function (trip, entries) {
    var tracks = [];
    var threshold = this.app.settings.eventThreshold;
    trip.clips = [];
    for (var i = trip.first; i <= trip.last; i++) {
      if (entries[i].track) tracks.push(entries[i].track);
    }
    trip.figures = VEK.trips.describe(trip, tracks, trip.grewFrom && trip.grewFrom.figures);
    delete trip.grewFrom; // no chain of every trip before it
    for (var k = trip.first; k <= trip.last; k++) {
      var track = entries[k].track;
      trip.clips.push({ clip: k, track: track, events: track ? VEK.events.find(track, threshold) : [] });
    }
    trip.eventCount = trip.clips.reduce(function (n, c) { return n + c.events.length; }, 0);
  };

  // What the trips depend on besides the clips: a change groups them anew.
  TripView.prototype.basis = function () {
    var clock = VEK.time.current();
    var s = this.app.settings;
    return [clock.cameraZone, clock.correction, s.tripGap, s.eventThreshold].join('|');
  };

  // A trip kept from the last refresh moved with the clips listed before it.
  function reindex(trip) {
    trip.clips.forEach(function (entry, k) { entry.clip = trip.first + k; });
  }

  // Groups the listed clips whose tracks are read, then shows the result.
  // Only trips that changed are described again.
  TripView.prototype.refresh = function () {
    var clips = this.app.viewer.clips;
    var entries = clips.map(function (clip) {
      return { key: clip.path, track: cachedTrack(clip), duration: clip.videoDuration };
    });
    this.trips = this.grouping.update(entries, VEK.time.current(), this.app.settings.tripGap, this.basis());
    this.listed = clips;
    this.trips.forEach(function (trip) {
      if (!trip.clips) this.describe(trip, entries);
      else if (trip.clips[0].clip !== trip.first) reindex(trip);
    }, this);
    this.showHeaders();
    this.showCurrent();
  };

  TripView.prototype.tripOf = function (clipIndex) {
    for (var k = 0; k < this.trips.length; k++) {
      if (clipIndex >= this.trips[k].first && clipIndex <= this.trips[k].last) return this.trips[k];
    }
    return null;
  };

  // What a trip's header shows, kept with the trip until its place, the
  // unit, the language or the clock changes.
  function headerOf(trip) {
    var clock = VEK.time.current();
    var stamp = [trip.first, trip.last, VEK.app ? VEK.app.settings.unit : '', VEK.i18n.language()].join('|');
    var kept = trip.header;
    if (!kept || kept.stamp !== stamp || kept.clock !== clock) {
      kept = trip.header = { stamp: stamp, clock: clock, described: VEK.tripHeader.describe(trip) };
    }
    return kept.described;
  }

  // Each header goes inside its trip's first row, so the rows stay the
  // list's only children. A header showing the same is left in place, and
  // not even built: the list is laid out again only where a trip changed.
  TripView.prototype.showHeaders = function () {
    var list = this.app.views.list;
    var wanted = new Map();
    this.trips.forEach(function (trip) {
      var row = list.element(trip.first);
      if (row && trip.figures && isFinite(trip.figures.start)) wanted.set(row, headerOf(trip));
    });
    list.list.querySelectorAll('.trip-header').forEach(function (el) {
      var header = wanted.get(el.parentElement);
      if (header && header.shows === el.dataset.shows) { wanted.delete(el.parentElement); return; }
      el.parentElement.classList.remove('trip-start');
      el.remove();
    });
    wanted.forEach(function (header, row) {
      row.classList.add('trip-start');
      row.insertBefore(VEK.tripHeader.element(header), row.firstChild);
    });
  };

  // Rows built after the trips were shown get their headers, unless the
  // trips are of an older list, whose places the rows no longer have.
  TripView.prototype.rowsBuilt = function () {
    if (this.listed === this.app.viewer.clips) this.showHeaders();
  };

  // The route, chart marks and clock of the clip on screen. Until the
  // trips of a new list are made (a refresh is due) the route keeps the
  // trip it shows, also while the new list has no clip on screen yet (a
  // report is applied before its clip is found in it); it is drawn again
  // only when the trip differs.
  TripView.prototype.showCurrent = function () {
    var viewer = this.app.viewer;
    var v = this.app.views;
    var kept = this.shownTrip && (viewer.current < 0 || this.shownTrip.path === pathOf(viewer));
    if (this.listed !== viewer.clips && kept) return;
    var trip = this.listed === viewer.clips ? this.tripOf(viewer.current) : null; // not of an older list
    var entry = trip ? trip.clips[viewer.current - trip.first] : null;
    var marks = entry && entry.track === viewer.track ? entry.events : [];
    v.speedChart.setMarks(marks.filter(function (e) { return e.kind === 'stop'; }));
    v.gChart.setMarks(marks.filter(function (e) { return e.kind === 'bump'; }));
    var parts = trip ? trip.clips.filter(function (c) { return c.track && c.track.onRoute; }) : [];
    var shown = { path: pathOf(viewer), current: viewer.current, track: viewer.track, parts: parts };
    if (sameTrip(this.shownTrip, shown)) return;
    this.shownTrip = shown;
    var self = this;
    var listed = this.listed;
    // A click seeks the clip it shows, wherever a later list has put it.
    v.route.setTrip(parts, viewer.current, function (clip, time) {
      var index = listed && listed[clip] ? viewer.indexOf(listed[clip].path) : -1;
      if (index >= 0) self.seek(index, time);
    });
  };

  function pathOf(viewer) {
    var clip = viewer.currentClip();
    return clip ? clip.path : null;
  }

  // The same clip and the same tracks in the same order: clips listed before
  // the trip (a card is read from its last clip) move its indices, and the
  // trip shown keeps those of its own list, which its click still maps.
  function sameTrip(a, b) {
    if (!a || a.path !== b.path || a.track !== b.track) return false;
    if (a.parts.length !== b.parts.length) return false;
    return a.parts.every(function (part, k) { return part.track === b.parts[k].track; });
  }

  // Shows `clip` at video time `time`, loading it first when another plays.
  TripView.prototype.seek = function (clip, time) {
    var viewer = this.app.viewer;
    if (clip === viewer.current) { this.app.views.player.seek(time); return; }
    viewer.select(clip, false);
    var video = this.app.views.player.video;
    var player = this.app.views.player;
    video.addEventListener('loadedmetadata', function () { player.seek(time); }, { once: true });
  };

  TripView.prototype.jumpEvent = function (direction) {
    var viewer = this.app.viewer;
    var trip = this.tripOf(viewer.current);
    if (!trip) return;
    var target = VEK.events.neighbour(trip.clips, viewer.current, this.app.views.player.time(), direction);
    if (target) this.seek(target.clip, target.t);
  };

  VEK.TripView = TripView;
})(window.VEK = window.VEK || {});
