// The time and trip settings panel: camera zone, display zone, clock
// correction, trip gap and event threshold. Changes are saved with the
// other settings and applied to every time the page shows.
(function (VEK) {
  'use strict';

  function option(value, text) {
    var o = document.createElement('option');
    o.value = value;
    o.textContent = text;
    return o;
  }

  // The zone lists hold some 400 names each, and filling them (at start and
  // again once the settings file is read) made the page lay out its header
  // anew. Until the panel is first opened a list holds only its default and
  // the zone chosen, all that it shows closed.
  function showZone(select, firstText, chosen, whole) {
    var zones = whole ? VEK.time.zones() : VEK.time.zones().filter(function (zone) { return zone === chosen; });
    var shown = Array.prototype.slice.call(select.options, 1).map(function (o) { return o.value; });
    if (!select.options.length || shown.join('\n') !== zones.join('\n')) {
      select.replaceChildren.apply(select, [option('', firstText)].concat(zones.map(function (z) { return option(z, z); })));
    }
    if (select.options[0].textContent !== firstText) select.options[0].textContent = firstText;
    select.value = chosen;
  }

  function SettingsView(root, onChange) {
    this.root = root;
    this.field = {};
    this.whole = false; // the zone lists hold every zone
    ['cameraZone', 'displayZone', 'correction', 'tripGap', 'eventThreshold'].forEach(function (name) {
      this.field[name] = root.querySelector('[data-setting="' + name + '"]');
      this.field[name].addEventListener('change', function (e) { onChange(name, e.target.value); });
    }, this);
    var self = this;
    root.addEventListener('toggle', function () {
      if (!root.open || self.whole) return;
      self.whole = true;
      if (self.settings) self.show(self.settings);
    });
  }

  // Shows the settings; the zone lists name their defaults in the language shown.
  SettingsView.prototype.show = function (settings) {
    this.settings = settings;
    var clock = new VEK.time.Clock(settings);
    var fixed = VEK.time.offsetText(VEK.time.FIXED_OFFSET_S.freegps) + ' / ' +
      VEK.time.offsetText(VEK.time.FIXED_OFFSET_S.gps0);
    showZone(this.field.cameraZone, VEK.i18n.t('cameraZoneDefault', { offset: fixed }), clock.cameraZone, this.whole);
    showZone(this.field.displayZone, VEK.i18n.t('displayZoneDefault', { zone: VEK.time.localZone() }),
      VEK.time.validZone(settings.displayZone), this.whole);
    this.field.correction.value = String(clock.correction);
    this.field.tripGap.value = String(settings.tripGap);
    this.field.eventThreshold.value = String(settings.eventThreshold);
  };

  VEK.SettingsView = SettingsView;
})(window.VEK = window.VEK || {});
