-- A settled card payment of ticket 301 on 20200904.
insert into xact (ticket, poschitnum, server, itemnumber, status, postendtype, posbatch,
                  poschitdate, trantime, poschitbase, poschitsrvchg, poschittax, poschittotal)
values (301, 1, 1, -1, 2, 3, '0', 20200904, '12:00:00', 0.0, 0.0, 0.0, 0.0);
insert into ccard (ticket, status, amount, ccnumber, ccname, expmonth, expyear)
values (301, 3, 1234, '4111111111111111', 'Jane Smith', '9', '2025');
