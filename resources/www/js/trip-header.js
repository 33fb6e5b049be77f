// The header row of a trip in the clip list: date, local start and end,
// duration, distance, top and average moving speed, and its event count.
(function (VEK) {
  'use strict';

  function distanceText(metres, unit) {
    var km = metres / 1000;
    var value = unit === 'mi' ? km / 1.609344 : km;
    return value.toFixed(value < 10 ? 2 : 1) + (unit === 'mi' ? ' mi' : ' km');
  }

  function speedText(kmh, unit) {
    return Math.round(VEK.units.speed(kmh, unit)) + ' ' + VEK.units.label(unit);
  }

  function texts(trip) {
    var f = trip.figures;
    var clock = VEK.time.current();
    var unit = VEK.app ? VEK.app.settings.unit : 'km';
    return {
      date: clock.formatDate(f.start),
      span: clock.formatTime(f.start) + '–' + clock.formatTime(f.end),
      duration: VEK.timekeys.formatDuration(f.duration),
      distance: distanceText(f.distance, unit),
      speeds: VEK.i18n.t('tripSpeeds', { max: speedText(f.maxKmh, unit), avg: speedText(f.avgKmh, unit) }),
      events: trip.eventCount === 1 ? VEK.i18n.t('tripEventOne') : VEK.i18n.t('tripEvents', { n: trip.eventCount })
    };
  }

  var NAMES = ['date', 'span', 'duration', 'distance', 'speeds', 'events'];

  // What a trip's header shows, to leave an equal header in place without
  // building it: {trip, texts, shows}.
  function describe(trip) {
    var t = texts(trip);
    var shows = NAMES.map(function (name) { return t[name]; }).join('\n') + '\n' + trip.first + '-' + trip.last;
    return { trip: trip, texts: t, shows: shows };
  }

  function element(described) {
    var trip = described.trip;
    var header = document.createElement('div');
    header.className = 'trip-header';
    header.dataset.first = String(trip.first);
    header.dataset.last = String(trip.last);
    header.dataset.shows = described.shows;
    NAMES.forEach(function (name) {
      var span = document.createElement('span');
      span.className = 'trip-' + name;
      span.textContent = described.texts[name];
      header.appendChild(span);
    });
    header.classList.toggle('has-events', trip.eventCount > 0);
    return header;
  }

  VEK.tripHeader = { describe: describe, element: element };
})(window.VEK = window.VEK || {});
