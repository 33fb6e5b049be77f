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

  function element(trip) {
    var header = document.createElement('div');
    header.className = 'trip-header';
    header.dataset.first = String(trip.first);
    header.dataset.last = String(trip.last);
    var t = texts(trip);
    var names = ['date', 'span', 'duration', 'distance', 'speeds', 'events'];
    // What it shows, to leave an equal header in place.
    header.dataset.shows = names.map(function (name) { return t[name]; }).join('\n') + '\n' + trip.first + '-' + trip.last;
    names.forEach(function (name) {
      var span = document.createElement('span');
      span.className = 'trip-' + name;
      span.textContent = t[name];
      header.appendChild(span);
    });
    header.classList.toggle('has-events', trip.eventCount > 0);
    return header;
  }

  VEK.tripHeader = { element: element };
})(window.VEK = window.VEK || {});
