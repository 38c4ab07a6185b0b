-- Loyalty account of one establishment (value: idosc), the points available are the points earned less gifts and transfers.
select k.idosc IDOSC, k.korunka KORUNKA, k.zaklad ZAKLAD, k.navysenie NAVYSENIE,
       k.navyseny_zaklad NAVYSENY_ZAKLAD, k.body BODY, k.dary DARY,
       k.body - k.dary - k.prevod ZOSTATOK,
       k.obratbdph OBRATBDPH, k.obratsdph OBRATSDPH, k.prevod PREVOD,
       k.obratbdph_idtov OBRATBDPH_IDTOV, k.obratsdph_idtov OBRATSDPH_IDTOV
from korunka k
where k.idosc = ?1
