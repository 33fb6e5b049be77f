// Page commands to the native side. Each one is a navigation to
// "http://WORD/ARGS"; two navigations in one script turn deliver only the
// last, so commands leave one per task, spaced by a short gap.
(function (VEK) {
  'use strict';

  var GAP_MS = 40; // one navigation per task with room for the native handler
  var queue = [];
  var timer = null;
  var sent = []; // every URL handed to the browser, for tests and diagnostics

  function pump() {
    timer = null;
    var url = queue.shift();
    if (url === undefined) return;
    sent.push(url);
    window.location.href = url;
    if (queue.length) timer = setTimeout(pump, GAP_MS);
  }

  function send(word, arg) {
    queue.push('http://' + word + '/' + (arg || ''));
    if (timer === null) timer = setTimeout(pump, 0);
  }

  VEK.commands = { send: send, sent: sent };
})(window.VEK = window.VEK || {});
