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

  function fillZones(select, firstText) {
    select.replaceChildren(option('', firstText));
    VEK.time.zones().forEach(function (zone) { select.appendChild(option(zone, zone)); });
  }

  function SettingsView(root, onChange) {
    this.root = root;
    this.field = {};
    ['cameraZone', 'displayZone', 'correction', 'tripGap', 'eventThreshold'].forEach(function (name) {
      this.field[name] = root.querySelector('[data-setting="' + name + '"]');
      this.field[name].addEventListener('change', function (e) { onChange(name, e.target.value); });
    }, this);
  }

  // Shows the settings; the zone lists name their defaults in the language shown.
  SettingsView.prototype.show = function (settings) {
    var clock = new VEK.time.Clock(settings);
    var fixed = VEK.time.offsetText(VEK.time.FIXED_OFFSET_S.freegps) + ' / ' +
      VEK.time.offsetText(VEK.time.FIXED_OFFSET_S.gps0);
    fillZones(this.field.cameraZone, VEK.i18n.t('cameraZoneDefault', { offset: fixed }));
    fillZones(this.field.displayZone, VEK.i18n.t('displayZoneDefault', { zone: VEK.time.localZone() }));
    this.field.cameraZone.value = clock.cameraZone;
    this.field.displayZone.value = VEK.time.validZone(settings.displayZone);
    this.field.correction.value = String(clock.correction);
    this.field.tripGap.value = String(settings.tripGap);
    this.field.eventThreshold.value = String(settings.eventThreshold);
  };

  VEK.SettingsView = SettingsView;
})(window.VEK = window.VEK || {});
