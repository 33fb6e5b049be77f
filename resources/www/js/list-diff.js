// How a reported list relates to the one before it. While a card is read,
// every report repeats the whole list with a few clips more; what was
// listed before keeps its place and its work.
(function (VEK) {
  'use strict';

  // Per entry of `keys`, the index of the same key in `before`, or -1 for
  // a key that is new there; null unless every key of `before` is still in
  // `keys`, in the same order (the list only grew).
  function grown(before, keys) {
    var kept = new Array(keys.length);
    var j = 0;
    for (var i = 0; i < keys.length; i++) {
      if (j < before.length && keys[i] === before[j]) kept[i] = j++;
      else kept[i] = -1;
    }
    return j === before.length ? kept : null;
  }

  VEK.listDiff = { grown: grown };
})(window.VEK = window.VEK || {});
