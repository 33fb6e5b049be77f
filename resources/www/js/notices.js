// Short messages for the user: toasts, the snapshot flash and the export
// progress bar.
(function (VEK) {
  'use strict';

  var TOAST_MS = 4000;
  var host = null;
  var progress = null;

  function container() {
    if (!host) host = document.getElementById('toasts');
    return host;
  }

  function render(el) { el.textContent = VEK.i18n.t(el.vekMessage.key, el.vekMessage.vars); }

  // message: {key, vars} of an interface text, so that a language read a
  // moment later still applies. kind: 'info' | 'ok' | 'error'. A toast with
  // the same `key` replaces an earlier one (an import reports each clip).
  function toast(message, kind, key) {
    if (key) container().querySelectorAll('[data-key="' + key + '"]').forEach(function (old) { old.remove(); });
    var el = document.createElement('div');
    if (key) el.dataset.key = key;
    el.className = 'toast ' + (kind || 'info');
    el.setAttribute('role', kind === 'error' ? 'alert' : 'status');
    el.vekMessage = message;
    render(el);
    container().appendChild(el);
    setTimeout(function () { el.classList.add('leaving'); }, TOAST_MS);
    setTimeout(function () { el.remove(); }, TOAST_MS + 400);
    return el;
  }

  function flash() {
    var el = document.getElementById('flash');
    el.classList.remove('on');
    void el.offsetWidth; // restart the animation
    el.classList.add('on');
  }

  function showProgress(text, percent) {
    if (!progress) {
      progress = document.createElement('div');
      progress.className = 'toast progress';
      progress.setAttribute('role', 'status');
      progress.innerHTML = '<span class="progress-text"></span><span class="progress-bar"><span></span></span>';
      container().appendChild(progress);
    }
    progress.querySelector('.progress-text').textContent = text;
    var bar = progress.querySelector('.progress-bar');
    bar.classList.toggle('indeterminate', !isFinite(percent));
    fillBar(bar, isFinite(percent) ? percent / 100 : null);
  }

  // Fills `share` (held to 0 to 1) of a progress bar; null leaves it to its style.
  function fillBar(bar, share) {
    bar.firstChild.style.transform = share === null ? '' : 'scaleX(' + Math.max(0, Math.min(1, share)).toFixed(3) + ')';
  }

  function hideProgress() {
    if (progress) progress.remove();
    progress = null;
  }

  function relabel() {
    container().querySelectorAll('.toast').forEach(function (el) { if (el.vekMessage) render(el); });
  }

  VEK.notices = { toast: toast, relabel: relabel, flash: flash, showProgress: showProgress, hideProgress: hideProgress,
    fillBar: fillBar };
})(window.VEK = window.VEK || {});
