// The intake panel: clips done of total, bytes, time left and Cancel while
// the native side reads clips; messages for clips it could not read.
(function (VEK) {
  'use strict';

  var GB = 1e9;
  var MB = 1e6;
  var HIDE_AFTER_MS = 2500; // the final count stays readable for a moment
  var state = 'idle';
  var hideTimer = null;

  function panel() { return document.querySelector('[data-r="intake"]'); }

  function size(bytes) {
    return bytes >= GB ? (bytes / GB).toFixed(1) + ' GB' : Math.round(bytes / MB) + ' MB';
  }

  function timeLeft(seconds) {
    if (seconds === '' || !isFinite(seconds)) return '';
    var s = Number(seconds);
    if (s < 60) return VEK.i18n.t('intakeSeconds', { n: Math.max(1, Math.round(s)) });
    return VEK.i18n.t('intakeMinutes', { n: Math.ceil(s / 60) });
  }

  function describe(figures) {
    // Nothing counted yet: the dropped folders are still looked through.
    if (figures.state === 'running' && figures.total === 0) return VEK.i18n.t('intakeLooking');
    var parts = [VEK.i18n.t('intakeClips', { done: figures.done, total: figures.total })];
    if (figures.bytesTotal > 0) parts.push(size(figures.bytesDone) + ' / ' + size(figures.bytesTotal));
    var left = timeLeft(figures.secondsLeft);
    if (figures.state === 'running' && left) parts.push(left);
    if (figures.state === 'cancelled') parts.push(VEK.i18n.t('intakeCancelled'));
    return parts.join(' · ');
  }

  function show(figures) {
    var el = panel();
    if (!el) return;
    clearTimeout(hideTimer);
    el.hidden = false;
    el.dataset.state = figures.state;
    el.querySelector('[data-r="intake-text"]').textContent = describe(figures);
    var share = figures.bytesTotal > 0 ? figures.bytesDone / figures.bytesTotal : figures.done / Math.max(1, figures.total);
    VEK.notices.fillBar(el.querySelector('.progress-bar'), share);
    el.querySelector('[data-act="intake-cancel"]').disabled = figures.state !== 'running';
    if (figures.state !== 'running') hideTimer = setTimeout(function () { el.hidden = true; }, HIDE_AFTER_MS);
  }

  // Called by the native side; every argument arrives as text.
  function progress(stateText, done, total, bytesDone, bytesTotal, secondsLeft) {
    state = String(stateText) === 'running' ? 'running' : 'idle';
    show({
      state: String(stateText), done: Number(done), total: Number(total),
      bytesDone: Number(bytesDone), bytesTotal: Number(bytesTotal), secondsLeft: String(secondsLeft)
    });
  }

  function failed(path, reason) {
    VEK.notices.toast({ key: 'intakeFailed', vars: { name: VEK.paths.baseName(String(path)), reason: String(reason) } },
      'error');
  }

  function cancel() { VEK.commands.send('intake_cancel', ''); }

  VEK.intake = {
    progress: progress, failed: failed, cancel: cancel,
    running: function () { return state === 'running'; }
  };
})(window.VEK = window.VEK || {});
