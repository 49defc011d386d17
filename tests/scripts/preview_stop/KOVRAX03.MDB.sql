-- Tickets 1 to 12 of server 7, one a day from 2020-01-01 on, with an item and a cash tender each.
insert into xact (ticket, poschitnum, server, itemnumber, status, postendtype, posbatch,
                  poschitdate, trantime, poschitbase, poschitsrvchg, poschittax, poschittotal,
                  posmemo)
with recursive n(i) as (select 1 union all select i + 1 from n where i < 12)
select i, 2 * i, 7, 1, 2, 0, '0', 20200100 + i, '12:00:00', 10.0, 0.0, 0.0, 10.0, null from n
union all
select i, 2 * i + 1, 7, -1, 2, 1, '1', 20200100 + i, '12:00:00', 10.0, 0.0, 0.0, 10.0,
       'Paid by Cash' from n;
