-- Exports a daily closing into its own file: the first three statements get the file's "file:" URL (attach, then the tables), the rest the closing number (the closed documents with their lines and customer copies).
attach database ?1 as du;
create table if not exists du.vety as select * from main.vety where 0;
create table if not exists du.polo as select * from main.polo where 0;
create table if not exists du.odbe as select * from main.odbe where 0;
delete from du.odbe where vety_id in (select id from du.vety where ducis = ?1);
delete from du.polo where vety_id in (select id from du.vety where ducis = ?1);
delete from du.vety where ducis = ?1;
insert into du.vety select * from main.vety where ducis = ?1 order by id;
insert into du.polo select p.* from main.polo p join main.vety v on v.id = p.vety_id where v.ducis = ?1 order by p.id;
insert into du.odbe select o.* from main.odbe o join main.vety v on v.id = o.vety_id where v.ducis = ?1 order by o.id;
detach database du
