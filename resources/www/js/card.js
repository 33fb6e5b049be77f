// Memory cards offered for import: "Import N clips (X GB) from CARD" above
// the clip list, one click to take the card in. The native side withdraws
// an offer when the card is pulled out or its import has started.
(function (VEK) {
  'use strict';

  function host() { return document.querySelector('[data-r="cards"]'); }

  function find(id) { return host() && host().querySelector('[data-card="' + CSS.escape(id) + '"]'); }

  function text(offer) {
    return VEK.i18n.t('cardOffer', { n: offer.clips, size: offer.size, card: offer.label });
  }

  function build(offer) {
    var el = document.createElement('div');
    el.className = 'card-offer';
    el.dataset.card = offer.id;
    var label = document.createElement('span');
    label.className = 'card-offer-text';
    var button = document.createElement('button');
    button.type = 'button';
    button.className = 'primary';
    button.dataset.i18n = 'import';
    button.textContent = VEK.i18n.t('import');
    button.addEventListener('click', function () { take(offer.id); });
    el.appendChild(label);
    el.appendChild(button);
    return el;
  }

  // Called by the native side; every argument arrives as text. The same
  // card offered again (a reloaded page) replaces its row.
  function offer(id, label, clips, size) {
    var where = host();
    if (!where) return;
    var card = { id: String(id), label: String(label), clips: Number(clips), size: String(size) };
    var el = find(card.id) || where.appendChild(build(card));
    el.vekOffer = card;
    el.querySelector('.card-offer-text').textContent = text(card);
    el.querySelector('button').disabled = false;
    where.hidden = false;
  }

  function withdrawn(id) {
    var el = find(String(id));
    if (el) el.remove();
    var where = host();
    if (where && !where.children.length) where.hidden = true;
  }

  // One click is one import: the row stays, disabled, until withdrawn.
  function take(id) {
    var el = find(String(id));
    if (!el || el.querySelector('button').disabled) return;
    el.querySelector('button').disabled = true;
    VEK.commands.send('card_import', String(id));
  }

  function relabel() {
    var where = host();
    if (!where) return;
    where.querySelectorAll('.card-offer').forEach(function (el) {
      el.querySelector('.card-offer-text').textContent = text(el.vekOffer);
    });
  }

  window.card_offer = offer;
  window.card_withdrawn = withdrawn;
  VEK.card = { offer: offer, withdrawn: withdrawn, take: take, relabel: relabel };
})(window.VEK = window.VEK || {});
