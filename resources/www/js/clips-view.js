// The clip list: one row per clip with its name, recording time, duration,
// a merge check box and a remove button. Rows are addressed by index.
(function (VEK) {
  'use strict';

  var FIRST_ROWS = 40; // a screenful and more, built with the report

  function ClipList(root, handlers) {
    this.list = root.querySelector('[data-r="clip-list"]');
    this.count = root.querySelector('[data-r="clip-count"]');
    this.root = root;
    this.handlers = handlers; // onSelect(i), onPick(i, on), onRemove(i), onRowsBuilt()
    this.rows = [];
    this.paths = []; // per row, the path of its clip
    this.picked = new Set(); // rows shown as picked
    this.current = -1;
    this.unbuilt = 0; // rows not built yet
    this.scrollWanted = false;
    var self = this;
    this.slices = new VEK.Slices(function () { return self.buildRows(0); });
    this.list.addEventListener('click', function (e) { self.click(e); });
    this.list.addEventListener('change', function (e) {
      var row = e.target.closest('.clip');
      if (row && e.target.classList.contains('clip-pick')) self.handlers.onPick(+row.dataset.index, e.target.checked);
    });
  }

  ClipList.prototype.click = function (e) {
    var row = e.target.closest('.clip');
    if (!row) return;
    var index = +row.dataset.index;
    if (e.target.closest('.clip-remove')) this.handlers.onRemove(index);
    else if (e.target.closest('.clip-main')) this.handlers.onSelect(index);
  };

  function rowFor(clip, index) {
    var li = document.createElement('li');
    li.className = 'clip';
    li.dataset.index = String(index);
    li.innerHTML =
      '<input type="checkbox" class="clip-pick" data-i18n-title="selectForMerge" data-i18n-aria="selectForMerge">' +
      '<button type="button" class="clip-main"><span class="clip-name"></span>' +
      '<span class="clip-meta"><span class="clip-when"></span><span class="clip-tag"></span>' +
      '<span class="clip-duration"></span></span></button>' +
      '<button type="button" class="clip-remove icon" data-i18n-title="remove" data-i18n-aria="remove">' +
      '<svg viewBox="0 0 16 16" aria-hidden="true"><path d="M4 4l8 8M12 4l-8 8"/></svg></button>';
    li.querySelector('.clip-name').textContent = clip.name;
    li.querySelector('.clip-main').title = clip.path;
    return li;
  }

  // A row shown before keeps its element and what it shows of its clip;
  // only new rows are built, so a long list is rebuilt in little time.
  // Only what differs is written: an untouched row keeps its layout.
  function reused(li, index) {
    if (!isBuilt(li)) return li;
    if (li.dataset.index !== String(index)) li.dataset.index = String(index);
    if (li.classList.contains('current') || li.classList.contains('picked')) li.classList.remove('current', 'picked');
    if (li.hasAttribute('aria-current')) li.removeAttribute('aria-current');
    var pick = li.querySelector('.clip-pick');
    if (pick.checked) pick.checked = false;
    return li;
  }

  // Building rows leaves the page most of each frame.
  ClipList.prototype.sliceMs = 8;

  // A row not built yet: its clip and the texts it is to show. Hundreds of
  // rows built and laid out in one task held the page for a third of a
  // second; they are built a slice at a time instead.
  function placeholder(clip) { return { clip: clip, meta: {} }; }

  function isBuilt(row) { return row.nodeType === Node.ELEMENT_NODE; }

  // Puts the built `rows` in the list in order, moving or inserting only the
  // rows out of place: during an intake each report adds a clip or two to
  // hundreds, and replacing every row each time made the page lay them all
  // out again.
  function arrange(list, rows) {
    var built = rows.filter(isBuilt);
    var keep = new Set(built);
    Array.prototype.slice.call(list.children).forEach(function (el) { if (!keep.has(el)) el.remove(); });
    var at = list.firstElementChild;
    built.forEach(function (row) {
      if (row === at) at = at.nextElementSibling;
      else list.insertBefore(row, at);
    });
  }

  function newRow(clip, index) {
    var li = rowFor(clip, index);
    VEK.i18n.apply(li);
    return li;
  }

  // Shows `clips` in order. Returns the indices of the rows made anew, or
  // null when the list was rebuilt and every row may show another clip.
  // The first rows are built at once, the rest in later slices.
  ClipList.prototype.render = function (clips) {
    var paths = clips.map(function (clip) { return clip.path; });
    var kept = VEK.listDiff.grown(this.paths, paths);
    var added = kept ? this.renderGrown(clips, kept) : this.renderAll(clips);
    this.paths = paths;
    this.current = -1;
    this.root.classList.toggle('empty', clips.length === 0);
    this.updateCount();
    this.buildRows(FIRST_ROWS);
    if (this.unbuilt) this.slices.schedule();
    return added;
  };

  ClipList.prototype.renderAll = function (clips) {
    var before = {};
    this.paths.forEach(function (path, i) { if (!before[path]) before[path] = this.rows[i]; }, this);
    var taken = {};
    this.rows = clips.map(function (clip, i) {
      var old = before[clip.path];
      var row = old && !taken[clip.path] ? reused(old, i) : placeholder(clip);
      taken[clip.path] = true;
      return row;
    });
    this.picked = new Set();
    arrange(this.list, this.rows);
    this.unbuilt = this.rows.filter(function (row) { return !isBuilt(row); }).length;
    return null;
  };

  // The list only grew (an intake's next report): the rows shown stay where
  // they are, untouched but for their index and marks, and only the new
  // rows are made, to be built between them.
  ClipList.prototype.renderGrown = function (clips, kept) {
    this.unmark();
    var old = this.rows;
    var added = [];
    this.rows = clips.map(function (clip, i) {
      if (kept[i] < 0) { added.push(i); return placeholder(clip); }
      var row = old[kept[i]];
      if (kept[i] !== i && isBuilt(row)) row.dataset.index = String(i);
      return row;
    });
    this.unbuilt += added.length;
    return added;
  };

  // Builds unbuilt rows in list order: those before index `screenful` in
  // any case, then until the slice's time is up; false while some are left.
  ClipList.prototype.buildRows = function (screenful) {
    var started = performance.now();
    var count = 0;
    var next = -1;
    for (var i = 0; i < this.rows.length && this.unbuilt; i++) {
      if (isBuilt(this.rows[i])) continue;
      if (i >= screenful && count && performance.now() - started > this.sliceMs) break;
      if (next <= i) next = this.nextBuilt(i);
      this.list.insertBefore(this.build(i), this.rows[next] || null);
      count++;
    }
    if (count && this.handlers.onRowsBuilt) this.handlers.onRowsBuilt();
    if (!this.unbuilt && this.scrollWanted) this.scrollToCurrent();
    return !this.unbuilt;
  };

  // The index of the first built row after `index` (the length when none).
  ClipList.prototype.nextBuilt = function (index) {
    var j = index + 1;
    while (j < this.rows.length && !isBuilt(this.rows[j])) j++;
    return j;
  };

  // The row of `index` as an element with the texts it was given.
  ClipList.prototype.build = function (index) {
    var pending = this.rows[index];
    var li = newRow(pending.clip, index);
    applyMeta(li, pending.meta);
    this.rows[index] = li;
    this.unbuilt--;
    return li;
  };

  // The row of `index`, built now and put in its place when it was not.
  ClipList.prototype.builtRow = function (index) {
    var row = this.rows[index];
    if (!row || isBuilt(row)) return row || null;
    var before = this.rows[this.nextBuilt(index)] || null;
    return this.list.insertBefore(this.build(index), before);
  };

  // The row's element, or null while it is not built.
  ClipList.prototype.element = function (index) {
    var row = this.rows[index];
    return row && isBuilt(row) ? row : null;
  };

  // Builds every row left at once (tests, and anything that reads the whole list).
  ClipList.prototype.finish = function () {
    this.slices.cancel();
    this.buildRows(Infinity);
  };

  // The current and picked marks go, as a rebuilt list would lose them;
  // the caller marks the rows again.
  ClipList.prototype.unmark = function () {
    var row = this.element(this.current);
    if (row) {
      row.classList.remove('current');
      row.removeAttribute('aria-current');
    }
    this.picked.forEach(function (li) { reused(li, +li.dataset.index); });
    this.picked = new Set();
  };

  ClipList.prototype.updateCount = function () {
    var n = this.rows.length;
    this.count.textContent = n === 1 ? VEK.i18n.t('clipCountOne') : VEK.i18n.t('clipCount', { n: n });
  };

  // `keepScroll`: the list was rebuilt around the same clip, and scrolling
  // to it would lay out the whole list at once, again for every report of
  // an intake. Rows built later above the current one push it down: it is
  // scrolled to again once they are all built.
  ClipList.prototype.setCurrent = function (index, keepScroll) {
    if (this.rows[this.current] && isBuilt(this.rows[this.current])) {
      this.rows[this.current].classList.remove('current');
      this.rows[this.current].removeAttribute('aria-current');
    }
    this.current = index;
    var row = this.builtRow(index);
    if (!row) return;
    row.classList.add('current');
    row.setAttribute('aria-current', 'true');
    if (keepScroll) return;
    this.scrollWanted = this.unbuilt > 0;
    this.scrollToCurrent();
  };

  ClipList.prototype.scrollToCurrent = function () {
    this.scrollWanted = false;
    var row = this.element(this.current);
    if (row) row.scrollIntoView({ block: 'nearest' });
  };

  ClipList.prototype.setPicked = function (index, on) {
    var row = on ? this.builtRow(index) : this.element(index);
    if (!row) return;
    row.classList.toggle('picked', on);
    row.querySelector('.clip-pick').checked = on;
    if (on) this.picked.add(row); else this.picked.delete(row);
  };

  // meta: {when, duration, tag} texts; missing fields stay as they are. A
  // row not built yet keeps them until it is.
  ClipList.prototype.setMeta = function (index, meta) {
    var row = this.rows[index];
    if (!row) return;
    if (isBuilt(row)) applyMeta(row, meta);
    else Object.keys(meta).forEach(function (name) { if (meta[name] != null) row.meta[name] = meta[name]; });
  };

  function applyMeta(row, meta) {
    setText(row, '.clip-when', meta.when);
    setText(row, '.clip-duration', meta.duration);
    setText(row, '.clip-tag', meta.tag);
  }

  // Every report sets every row's texts again; an equal text is left alone.
  function setText(row, selector, text) {
    if (text == null) return;
    var el = row.querySelector(selector);
    if (el.textContent !== text) el.textContent = text;
  }

  VEK.ClipList = ClipList;
})(window.VEK = window.VEK || {});
