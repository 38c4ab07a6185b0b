-- Closing number of a daily closing (value: its document number).
select ducis DUCIS from vety where cdok = ?1 and pohyb = 90 order by id limit 1
