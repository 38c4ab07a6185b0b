-- Description of one activity (value: its id) as pieces of an HTML page, in order: name, text, validity, threshold, gift set.
select '<h3>' || replace(replace(replace(nazov, '&', '&amp' || char(59)), '<', '&lt' || char(59)), '>', '&gt' || char(59)) || '</h3>' RIADOK, 1 poradie from zlava where id = ?1
union all
select '<p>' || replace(replace(replace(coalesce(popis, ''), '&', '&amp' || char(59)), '<', '&lt' || char(59)), '>', '&gt' || char(59)) || '</p>', 2 from zlava where id = ?1
union all
select '<p>platnosť: ' || coalesce(strftime('%d.%m.%Y', datum_od), '') || ' – ' || coalesce(strftime('%d.%m.%Y', datum_do), '') || '</p>', 3 from zlava where id = ?1
union all
select '<p>za každých ' || printf('%.2f', dodatpla) || ' € jedna sada vzoriek</p>', 4 from zlava where id = ?1 and coalesce(dodatpla, 0) <> 0
union all
select '<p>' || printf('%g', d.mnozstvo) || ' x ' || replace(replace(t.naztov1, '<', '&lt' || char(59)), '>', '&gt' || char(59)) || '</p>', 5 from zlava_darcek d join tovar t on t.idtov = d.idtov where d.zlava_id = ?1
order by 2
