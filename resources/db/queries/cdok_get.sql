-- Next document number, the row id the next header gets (values: user and movement code, unused since all types share one series).
select coalesce((select seq from sqlite_sequence where name = 'vety'), (select max(id) from vety), 0) + 1 CDOK
