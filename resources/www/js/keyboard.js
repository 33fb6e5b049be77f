// Keyboard control of playback. Keys typed into form fields stay there.
(function (VEK) {
  'use strict';

  var SKIP_S = 5;

  // eventStep(direction): the next or previous driving event of the trip.
  function bind(player, clipStep, eventStep) {
    var actions = {
      ' ': function () { player.toggle(); },
      k: function () { player.toggle(); },
      ArrowLeft: function (e) { if (e.shiftKey) player.step(-1); else player.skip(-SKIP_S); },
      ArrowRight: function (e) { if (e.shiftKey) player.step(1); else player.skip(SKIP_S); },
      ',': function () { player.step(-1); },
      '.': function () { player.step(1); },
      '[': function () { player.changeRate(-1); },
      ']': function () { player.changeRate(1); },
      PageUp: function () { clipStep(-1); },
      PageDown: function () { clipStep(1); },
      Home: function () { player.seek(0); },
      e: function () { if (eventStep) eventStep(1); },
      E: function () { if (eventStep) eventStep(-1); }
    };
    document.addEventListener('keydown', function (e) {
      var target = e.target;
      if (e.ctrlKey || e.metaKey || e.altKey) return;
      if (target && (target.tagName === 'INPUT' && target.type !== 'range' && target.type !== 'checkbox' ||
        target.tagName === 'SELECT' || target.tagName === 'TEXTAREA')) return;
      var action = actions[e.key];
      if (!action) return;
      e.preventDefault();
      action(e);
    });
  }

  VEK.keyboard = { bind: bind };
})(window.VEK = window.VEK || {});
