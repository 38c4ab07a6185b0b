-- Numbers a newly copied document (values: document id, document id): its number is its header row id.
update vety set cdok = id where id = ?1;
-- Lines that already carry the number (the copy writes it with them) are not
-- written again.
update polo set cdok = (select cdok from vety where id = ?1)
where vety_id = ?1 and cdok is not (select cdok from vety where id = ?1);
update odbe set cdok = (select cdok from vety where id = ?1) where vety_id = ?1
