// Which rows of a long list lie in and near its visible part, and how tall
// the rows before and after them are, from each row's height.
(function (VEK) {
  'use strict';

  // height(i): the height of row `i`. Returns the rows [from, to) that
  // reach into [top, bottom), with the height of the rows before them
  // (`above`) and after them (`below`).
  function span(count, height, top, bottom) {
    var y = 0;
    var from = count;
    for (var i = 0; i < count; i++) {
      var h = height(i);
      if (y + h > top) { from = i; break; }
      y += h;
    }
    var above = y;
    var to = from;
    while (to < count && y < bottom) y += height(to++);
    var below = 0;
    for (var j = to; j < count; j++) below += height(j);
    return { from: from, to: to, above: above, below: below };
  }

  // The top of row `index` in a list of rows of height(i).
  function offset(index, height) {
    var y = 0;
    for (var i = 0; i < index; i++) y += height(i);
    return y;
  }

  VEK.listWindow = { span: span, offset: offset };
})(window.VEK = window.VEK || {});
