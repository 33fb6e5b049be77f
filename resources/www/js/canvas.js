// A canvas that fills its parent at the device's pixel ratio.
(function (VEK) {
  'use strict';

  function create(parent, className) {
    var canvas = document.createElement('canvas');
    canvas.className = className;
    parent.appendChild(canvas);
    return canvas;
  }

  // Matches the backing store to the element's size (`size` when its owner
  // knows it, sparing a layout); returns the context scaled to CSS pixels
  // and the size, or null while the element is hidden.
  function prepare(canvas, size) {
    var width = size ? size.width : canvas.clientWidth;
    var height = size ? size.height : canvas.clientHeight;
    if (!width || !height) return null;
    var ratio = window.devicePixelRatio || 1;
    var w = Math.round(width * ratio);
    var h = Math.round(height * ratio);
    if (canvas.width !== w || canvas.height !== h) { canvas.width = w; canvas.height = h; }
    var ctx = canvas.getContext('2d');
    ctx.setTransform(ratio, 0, 0, ratio, 0, 0);
    ctx.clearRect(0, 0, width, height);
    return { ctx: ctx, width: width, height: height };
  }

  // The element's size as its ResizeObserver last reported it, or its own
  // until the first report; `resized` runs after each report. Reading the
  // size while the page changes would lay the page out in the middle of a task.
  function watchSize(el, resized) {
    var size = null;
    new ResizeObserver(function (entries) {
      var box = entries[entries.length - 1].contentRect;
      size = { width: Math.round(box.width), height: Math.round(box.height) };
      resized();
    }).observe(el);
    return function () { return size || { width: el.clientWidth, height: el.clientHeight }; };
  }

  function cssVar(el, name, fallback) {
    var value = getComputedStyle(el).getPropertyValue(name).trim();
    return value || fallback;
  }

  VEK.canvas = { create: create, prepare: prepare, watchSize: watchSize, cssVar: cssVar };
})(window.VEK = window.VEK || {});
