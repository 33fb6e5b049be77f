// The clip list: one row per clip with its name, recording time, duration,
// a merge check box and a remove button. Rows are addressed by index.
// Only the rows in and near the visible part of the list are in the page;
// blocks before and after them stand for the others, so the list's scroll
// bar spans them all. With every row of a card of a thousand clips in the
// page, laying them out and painting them held the page's frames for tens
// of milliseconds while the card was read.
(function (VEK) {
  'use strict';

  var NEAR_PX = 300; // rows this far out of sight are kept, so a scroll shows built rows
  var MARGIN_PX = 2; // below each row
  var ROW_PX = 46 + MARGIN_PX; // a row not measured yet: a plain row and its margin

  function ClipList(root, handlers) {
    this.list = root.querySelector('[data-r="clip-list"]');
    this.count = root.querySelector('[data-r="clip-count"]');
    this.root = root;
    this.handlers = handlers; // onSelect(i), onPick(i, on), onRemove(i), onRowsBuilt()
    this.rows = [];
    this.paths = []; // per row, the path of its clip
    this.picked = new Set(); // rows shown as picked
    this.current = -1;
    this.from = 0; // the rows [from, to) are the ones kept in the page
    this.to = 0;
    this.unbuilt = 0; // rows among those not built yet
    this.scrollWanted = false;
    this.focusHeld = null; // the element that had the focus, while its row is out of the page
    var self = this;
    this.height = function (i) { return self.rows[i].measured || ROW_PX; };
    this.slices = new VEK.Slices(function () { return self.buildRows(0); });
    this.list.tabIndex = -1; // holds the focus while its row is out of the page
    this.list.addEventListener('scroll', function () { self.show(); }, { passive: true });
    if (window.ResizeObserver) new ResizeObserver(function () { self.show(); }).observe(this.list, { box: 'border-box' });
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
  ClipList.prototype.firstRows = 40; // a screenful and more, built with the report

  // A row not built yet: its clip and the texts it is to show. Hundreds of
  // rows built and laid out in one task held the page for a third of a
  // second; they are built a slice at a time instead.
  function placeholder(clip) { return { clip: clip, meta: {} }; }

  function isBuilt(row) { return row.nodeType === Node.ELEMENT_NODE; }

  // Puts the built `rows` in the list in order, moving or inserting only the
  // rows out of place: during an intake each report adds a clip or two to
  // hundreds, and replacing every row each time made the page lay them all
  // out again. Returns how many rows were put in.
  function arrange(list, rows) {
    var keep = new Set(rows);
    Array.prototype.slice.call(list.children).forEach(function (el) { if (!keep.has(el)) el.remove(); });
    var at = list.firstElementChild;
    var put = 0;
    rows.forEach(function (row) {
      if (row === at) { at = at.nextElementSibling; return; }
      translated(row);
      list.insertBefore(row, at);
      put++;
    });
    return put;
  }

  // A row out of the page missed a change of language: it gets it on its way back.
  function translated(row) {
    if (row.language === VEK.i18n.language()) return;
    VEK.i18n.apply(row);
    row.language = VEK.i18n.language();
  }

  function newRow(clip, index) {
    var li = rowFor(clip, index);
    translated(li);
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
    this.show();
    return added;
  };

  // Keeps in the page the rows in and near sight, and builds them: the
  // first ones at once, the rest in later slices.
  ClipList.prototype.show = function () {
    var anchor = this.anchor();
    if (this.place() && this.handlers.onRowsBuilt) this.handlers.onRowsBuilt();
    this.buildRows(this.firstRows);
    this.keepPlace(anchor);
    if (this.unbuilt) this.slices.schedule();
  };

  // Measures the rows in the page, then puts in it the built rows in and
  // near sight; true when rows were put in. A list as tall as its rows (not
  // scrolled) keeps every row: it is placed again until its height holds.
  // A list that scrolls is not, as that would lay out the page again.
  ClipList.prototype.place = function () {
    this.measure();
    var put = 0;
    for (var pass = 0; pass < 3; pass++) {
      var seen = this.list.clientHeight;
      var scrolls = this.list.scrollHeight > seen;
      var top = this.list.scrollTop;
      var span = VEK.listWindow.span(this.rows.length, this.height, top - NEAR_PX, top + seen + NEAR_PX);
      this.from = span.from;
      this.to = span.to;
      var shown = this.rows.slice(span.from, span.to).filter(isBuilt);
      this.unbuilt = span.to - span.from - shown.length;
      this.holdFocus(shown);
      put += arrange(this.list, shown);
      this.returnFocus();
      this.pad(span.above, span.below);
      if (scrolls || this.list.clientHeight === seen) break;
    }
    return put > 0;
  };

  // A row leaving the page with the keyboard focus leaves it on the list,
  // so keys and Tab go on from there, and takes it back when it returns.
  ClipList.prototype.holdFocus = function (shown) {
    var active = document.activeElement;
    var row = active && active !== this.list && this.list.contains(active) ? active.closest('.clip') : null;
    if (!row || shown.indexOf(row) >= 0) return;
    this.focusHeld = active;
    this.list.focus({ preventScroll: true });
  };

  ClipList.prototype.returnFocus = function () {
    var held = this.focusHeld;
    if (!held) return;
    if (document.activeElement !== this.list) this.focusHeld = null; // the focus went elsewhere since
    else if (this.list.contains(held)) {
      this.focusHeld = null;
      held.focus({ preventScroll: true });
    }
  };

  // The first row in sight and where it is. A row coming in above it may be
  // taller or shorter than the space that stood for it; the list scrolls by
  // the difference, so what is in sight stays where it was.
  ClipList.prototype.anchor = function () {
    if (!this.list.scrollTop) return null; // nothing comes in above the top
    var top = this.list.getBoundingClientRect().top;
    var rows = this.list.children;
    for (var k = 0; k < rows.length; k++) {
      var at = rows[k].getBoundingClientRect();
      if (at.bottom > top) return { row: rows[k], top: at.top };
    }
    return null;
  };

  ClipList.prototype.keepPlace = function (anchor) {
    if (!anchor || anchor.row.parentNode !== this.list) return;
    var moved = anchor.row.getBoundingClientRect().top - anchor.top;
    if (Math.abs(moved) >= 1) this.list.scrollTop += moved;
  };

  // The space of the rows out of the page, and of those not built yet,
  // for the blocks before and after the rows.
  ClipList.prototype.pad = function (above, below) {
    for (var i = this.from; i < this.to; i++) if (!isBuilt(this.rows[i])) below += this.height(i);
    setProperty(this.list, '--above', above + 'px');
    setProperty(this.list, '--below', below + 'px');
  };

  function setProperty(el, name, value) {
    if (el.style.getPropertyValue(name) !== value) el.style.setProperty(name, value);
  }

  // Each row in the page keeps its height, margins included, for the
  // space that stands for it once it is out.
  ClipList.prototype.measure = function () {
    var rows = this.list.children;
    for (var k = 0; k < rows.length; k++) {
      if (!rows[k].offsetHeight) return; // the list is hidden
      var next = rows[k + 1];
      var height = next ? next.offsetTop - rows[k].offsetTop : rows[k].offsetHeight + MARGIN_PX;
      if (height > 0) rows[k].measured = height;
    }
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
    return added;
  };

  // Builds the unbuilt rows kept in the page in list order: those before
  // the kept ones' `screenful`th in any case, then until the slice's time
  // is up; false while some are left.
  ClipList.prototype.buildRows = function (screenful) {
    var started = performance.now();
    var count = 0;
    for (var i = this.from; i < this.to && this.unbuilt; i++) {
      if (isBuilt(this.rows[i])) continue;
      if (i >= this.from + screenful && count && performance.now() - started > this.sliceMs) break;
      this.put(i, this.build(i));
      count++;
    }
    if (count) this.padKept();
    if (count && this.handlers.onRowsBuilt) this.handlers.onRowsBuilt();
    if (!this.unbuilt && this.scrollWanted) this.scrollToCurrent();
    return !this.unbuilt;
  };

  // The blocks before and after the kept rows, once rows among them are built.
  ClipList.prototype.padKept = function () {
    var below = 0;
    for (var j = this.to; j < this.rows.length; j++) below += this.height(j);
    this.pad(VEK.listWindow.offset(this.from, this.height), below);
  };

  // Puts the new row of kept index `index` before the next built one.
  ClipList.prototype.put = function (index, row) {
    var j = index + 1;
    while (j < this.to && !isBuilt(this.rows[j])) j++;
    this.list.insertBefore(row, j < this.to ? this.rows[j] : null);
    this.unbuilt--;
  };

  // The row of `index` as an element with the texts it was given.
  ClipList.prototype.build = function (index) {
    var pending = this.rows[index];
    var li = newRow(pending.clip, index);
    applyMeta(li, pending.meta);
    this.rows[index] = li;
    return li;
  };

  ClipList.prototype.kept = function (index) { return index >= this.from && index < this.to; };

  // The row of `index`, built now when it was not; put in the page when it
  // is in or near sight, otherwise kept aside with its marks until it is.
  ClipList.prototype.builtRow = function (index) {
    var row = this.rows[index];
    if (!row || isBuilt(row)) return row || null;
    var li = this.build(index);
    if (this.kept(index)) {
      this.put(index, li);
      this.padKept();
    }
    return li;
  };

  // The row's element, or null while it is not built or not in the page.
  ClipList.prototype.element = function (index) {
    var row = this.rows[index];
    return row && isBuilt(row) && row.parentNode === this.list ? row : null;
  };

  // The row's element, in the page or kept aside, or null.
  ClipList.prototype.built = function (index) {
    var row = this.rows[index];
    return row && isBuilt(row) ? row : null;
  };

  // Builds every row in and near sight at once (tests, and anything that
  // reads the rows shown). Rows measured taller or shorter than thought
  // change which rows are in sight: they are placed again until that holds.
  ClipList.prototype.finish = function () {
    this.slices.cancel();
    for (var pass = 0; pass < 4; pass++) {
      var from = this.from;
      var to = this.to;
      var put = this.place();
      if (put && this.handlers.onRowsBuilt) this.handlers.onRowsBuilt();
      this.buildRows(Infinity);
      if (!put && from === this.from && to === this.to) break;
    }
  };

  // The current and picked marks go, as a rebuilt list would lose them;
  // the caller marks the rows again.
  ClipList.prototype.unmark = function () {
    var row = this.built(this.current);
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
    var was = this.built(this.current);
    if (was) {
      was.classList.remove('current');
      was.removeAttribute('aria-current');
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

  // The list scrolls to where the row's height says it is, which puts the
  // row in the page; then the row itself is scrolled into view.
  ClipList.prototype.scrollToCurrent = function () {
    this.scrollWanted = false;
    if (!this.rows[this.current]) return;
    var top = VEK.listWindow.offset(this.current, this.height);
    var bottom = top + this.height(this.current);
    var list = this.list;
    if (top < list.scrollTop) list.scrollTop = top;
    else if (bottom > list.scrollTop + list.clientHeight) list.scrollTop = bottom - list.clientHeight;
    this.show();
    var row = this.element(this.current);
    if (row) row.scrollIntoView({ block: 'nearest' });
  };

  ClipList.prototype.setPicked = function (index, on) {
    var row = on ? this.builtRow(index) : this.built(index);
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
