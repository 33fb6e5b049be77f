// Route out: the current clip, the current trip or the picked clips as a
// GPX, KML or CSV file in the output folder. The native side reads the
// samples from the clips themselves and answers with route_out_done.
(function (VEK) {
  'use strict';

  function RouteExport(app, root) {
    this.app = app;
    this.format = root.querySelector('[data-r="route-format"]');
    this.scope = root.querySelector('[data-r="route-scope"]');
    var self = this;
    root.querySelector('[data-act="route-out"]').addEventListener('click', function () { self.send(); });
    window.route_out_done = function (written, text) { self.done(written, String(text)); };
  }

  // The clips of the chosen scope, in list order.
  RouteExport.prototype.clips = function () {
    var viewer = this.app.viewer;
    var scope = this.scope.value;
    if (scope === 'picked') {
      var picked = this.app.actions.picked;
      return viewer.clips.filter(function (clip) { return picked[clip.path]; });
    }
    var trip = scope === 'trip' ? this.app.tripView.tripOf(viewer.current) : null;
    if (trip) return viewer.clips.slice(trip.first, trip.last + 1);
    return viewer.currentClip() ? [viewer.currentClip()] : [];
  };

  RouteExport.prototype.send = function () {
    var clips = this.clips();
    if (!clips.length) { VEK.notices.toast({ key: 'routeNothing' }, 'error'); return; }
    var gap = this.app.settings.tripGap;
    // Commas separate the paths, so a comma inside one goes escaped.
    VEK.commands.send('route_out', this.format.value + ';' + gap + ';' + clips.map(function (clip) {
      return VEK.paths.commandArg(clip.path).replace(/,/g, '%2C');
    }).join(','));
  };

  RouteExport.prototype.done = function (written, text) {
    VEK.notices.toast({ key: written ? 'routeSaved' : 'routeFailed', vars: { name: text, text: text } },
      written ? 'ok' : 'error', 'route');
  };

  VEK.RouteExport = RouteExport;
})(window.VEK = window.VEK || {});
